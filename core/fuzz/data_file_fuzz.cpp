// Any byte string as a data file. It loads the same from memory (the notifier) and from disk
// (the editor, tsy), in little more memory than the file itself; the roll-over leaves a
// date-ordered current list without consumed entries, the same as advancing entry by entry,
// and a second roll-over the same day archives nothing again; what is saved loads again as it
// was and saves to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "core/data_file.h"
#include "core/occurrence.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"

namespace {

using namespace tessaly;
using fuzz::Require;

// Memory a damaged file may cost, as multiples of its size. A load holds the file's records
// (64 bytes in memory for 58 in the file) and, to sort a current list out of order, half as
// much again; from disk also a buffer no larger than the file.
constexpr std::size_t kDecodeMultiple = 2;
constexpr std::size_t kLoadMultiple = 3;
// Everything after loading: the lists copied and grown by the roll-over, the file's image, the
// file read back. Generous, but linear: no file can make the rules take more.
constexpr std::size_t kRestMultiple = 16;
constexpr std::size_t kFixedBytes = 64 << 10;

// The last three bytes pick today, so the fuzzer explores dates as well as files.
DateKey PickToday(std::span<const std::uint8_t> input) {
    if (input.size() < 4) return 20261208;
    const std::size_t n = input.size();
    const std::uint32_t pick = input[n - 1] | input[n - 2] << 8 | input[n - 3] << 16;
    const CivilDate c = CivilFromDays(DaysFromCivil(2000, 1, 1) + pick % 36500);
    return MakeDateKey(c.year, c.month, c.day);
}

bool InDateOrderWithoutConsumed(const ReminderList& list) {
    for (int i = 1; i <= list.count(); ++i) {
        if (list.at(i).date < 0) return false;
        if (i > 1 && list.at(i - 1).date > list.at(i).date) return false;
    }
    return true;
}

// Whether every entry of part stands in whole, in the same order.
bool Subsequence(const ReminderList& part, const ReminderList& whole) {
    int at = 1;
    for (int i = 1; i <= part.count(); ++i) {
        while (at <= whole.count() && !(whole.at(at) == part.at(i))) ++at;
        if (at > whole.count()) return false;
        ++at;
    }
    return true;
}

std::size_t FileBytes(const ReminderData& d) {
    return 12 + kReminderBytes * static_cast<std::size_t>(d.current.count() + d.archive.count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const DateKey today = PickToday(input);
    const auto path = fuzz::EmptyScratchFolder() / "Tessaly.tsy";
    fuzz::WriteBytes(path, input);

    ReminderData d, fromDisk;
    {
        fuzz::HeapWatch heap;
        d = DecodeReminderFile(input);
        heap.Require(kDecodeMultiple * size + kFixedBytes, "loading the file from memory");
    }
    {
        fuzz::HeapWatch heap;
        Require(static_cast<bool>(LoadReminderFile(path, fromDisk, IfMissing::kFail)),
                "the file does not load");
        heap.Require(kLoadMultiple * size + kFixedBytes, "loading the file from disk");
    }
    Require(fromDisk == d, "the file loads differently from disk and from memory");
    // Nothing beyond what the file holds: every record loaded began inside the input.
    Require(FileBytes(d) <= size + 2 * kReminderBytes, "more records than the file holds");
    Require(InDateOrderWithoutConsumed(d.current), "a loaded current list out of order");

    fuzz::HeapWatch heap;
    // Saved as loaded, it loads as it was.
    const fuzz::Bytes asLoaded = EncodeReminderFile(d, kNotifierLabel);
    Require(DecodeReminderFile(asLoaded) == d, "a saved file loads differently");

    ReminderData literal = d;
    RollOver(d.current, d.archive, today);
    Require(InDateOrderWithoutConsumed(d.current), "a rolled-over current list out of order");
    ArchivePastReminders(literal.current, literal.archive, today);
    AdvancePastRemindersStepByStep(literal.current, today);
    Require(literal == d, "the roll-over differs from advancing entry by entry");
    // An annual reminder years behind moves one year a turn, so a second roll-over may move
    // it on; it may also drop what the first archived from before its month of history. But
    // nothing is archived twice.
    ReminderData again = d;
    RollOver(again.current, again.archive, today);
    Require(Subsequence(again.archive, d.archive), "a second roll-over archived again");

    // The editor's save, piece by piece to disk, writes what the notifier's writes in memory.
    Require(static_cast<bool>(SaveReminderFile(path, d, kEditorLabel)), "the save failed");
    const fuzz::Bytes saved = fuzz::ReadBytes(path);
    Require(saved == EncodeReminderFile(d, kEditorLabel), "the saved bytes differ");
    Require(saved.size() == FileBytes(d), "the saved file is not 12 + 58 (N + M) bytes");
    ReminderData reloaded;
    Require(static_cast<bool>(LoadReminderFile(path, reloaded, IfMissing::kFail)),
            "the saved file does not load");
    Require(reloaded == d, "the saved file loads differently");
    heap.Require(kRestMultiple * size + kFixedBytes, "rolling over and saving");
    return 0;
}
