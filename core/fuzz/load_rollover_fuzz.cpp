// Any byte string loads, and the roll-over over it leaves a date-ordered current list with
// no consumed entries. Built with clang -fsanitize=fuzzer (TESSALY_FUZZ=ON).
#include <cstdint>
#include <cstdlib>

#include "core/data_file.h"
#include "core/occurrence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaly;
    // The last four bytes pick today, so the fuzzer explores dates as well as files.
    DateKey today = 20261208;
    if (size >= 4) {
        const std::uint32_t pick = data[size - 1] | data[size - 2] << 8 | data[size - 3] << 16;
        const CivilDate c = CivilFromDays(DaysFromCivil(2000, 1, 1) + pick % 36500);
        today = MakeDateKey(c.year, c.month, c.day);
    }
    ReminderData d = DecodeReminderFile({data, size});
    // Nothing beyond what the file holds: every record loaded began inside the input.
    const std::size_t records = static_cast<std::size_t>(d.current.count() + d.archive.count());
    if (records * kReminderBytes > size + 2 * kReminderBytes) std::abort();

    RollOver(d.current, d.archive, today);
    for (int i = 1; i <= d.current.count(); ++i) {
        if (d.current.at(i).date < 0) std::abort();
        if (i > 1 && d.current.at(i - 1).date > d.current.at(i).date) std::abort();
    }
    const auto bytes = EncodeReminderFile(d, kEditorLabel);
    if (DecodeReminderFile(bytes) != d) std::abort();
    return 0;
}
