// Fakes for the notifier pass: a clock the test sets, a store in memory, scripted answers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "notifier/pass.h"

namespace tessaly::testing {

class FakeClock : public Clock {
  public:
    explicit FakeClock(DateKey today) { now.date = today; }
    LocalTime Now() override { return now; }
    LocalTime now;
};

class MemoryStore : public DataStore {
  public:
    MemoryStore() = default;
    explicit MemoryStore(const ReminderData& data, std::string_view label = kEditorLabel)
        : bytes(EncodeReminderFile(data, label)) {}

    bool Read(std::vector<std::uint8_t>& out) override {
        ++reads;
        if (!readable) return false;
        out = bytes;
        return true;
    }
    bool Write(std::span<const std::uint8_t> in) override {
        ++writes;
        if (!writable) return false;
        bytes.assign(in.begin(), in.end());
        return true;
    }
    IoResult KeepBackup(DateKey today) override {
        backupDays.push_back(today);
        writesBeforeBackup.push_back(writes);
        return backupFails ? IoResult::Failure("backup not made: disk full") : IoResult{};
    }
    ReminderData Contents() const { return DecodeReminderFile(bytes); }
    std::string Label() const { return std::string(bytes.begin(), bytes.begin() + 4); }

    std::vector<std::uint8_t> bytes;
    bool readable = true;
    bool writable = true;
    int reads = 0;
    int writes = 0;
    std::vector<DateKey> backupDays;
    std::vector<int> writesBeforeBackup;
    bool backupFails = false;
};

// Answers each pop-up from a script (Remind Again once it runs out) and records what it saw.
class ScriptedResponder : public PopupResponder {
  public:
    explicit ScriptedResponder(std::vector<PopupAnswer> script = {}) : script_(std::move(script)) {}

    PopupAnswer Answer(const Reminder& r, const PopupTexts& texts) override {
        shown.push_back(r);
        texts_.push_back(texts);
        if (onShow) onShow(r);
        const std::size_t k = shown.size() - 1;
        return k < script_.size() ? script_[k] : PopupAnswer::kRemindAgain;
    }
    std::vector<std::string> Descriptions() const {
        std::vector<std::string> out;
        for (const Reminder& r : shown) {
            std::string d(r.Description());
            out.push_back(d.substr(0, d.find_last_not_of(' ') + 1));
        }
        return out;
    }

    std::vector<Reminder> shown;
    std::function<void(const Reminder&)> onShow;  // runs while the pop-up is "open"

  private:
    std::vector<PopupAnswer> script_;
    std::vector<PopupTexts> texts_;
};

}  // namespace tessaly::testing
