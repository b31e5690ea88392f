// Timestamps of the editor's start-up for the bench build (Tessaly_trace.exe, built with
// TESSALY_STARTUP_TRACE); in the program itself the marks cost nothing.
#pragma once

namespace tessaly::editor {

#ifdef TESSALY_STARTUP_TRACE
// Records the performance counter under a label (one word; "_" reads as a blank).
void StartupMark(const char* label);
// Writes the marks, one "label counter" line each, to the file named by the environment
// variable TESSALY_STARTUP_TRACE (startup_timer sets it and reads the file).
void WriteStartupMarks();
#else
inline void StartupMark(const char*) {}
inline void WriteStartupMarks() {}
#endif

}  // namespace tessaly::editor
