// A stand-in for the message-box seam in window tests: every box is recorded and answered from
// a queue (IDOK once it is empty), with an action that can run while a box would be open.
//   const win::Replaced answered_ = win::messageBox.Replace(&win::test::AnswerBox);
// (a fixture's member; its SetUp clears boxes and answers).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::win::test {

struct BoxCall {
    std::string text, caption;
    UINT style = 0;
    HWND owner = nullptr;
};
inline std::vector<BoxCall> boxes;
inline std::deque<int> answers;
inline std::function<void()> whileBoxIsOpen;  // runs once, at the next box

inline int AnswerBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    boxes.push_back({std::string(text), std::string(caption), style, owner});
    if (auto during = std::exchange(whileBoxIsOpen, nullptr)) during();
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace tessaly::win::test
