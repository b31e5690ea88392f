// The checks of a reminder before it is stored: their order, messages, typed times and kinds.
#include "core/reminder_checks.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

constexpr DateKey kToday = 20261208;  // a Tuesday

FormInput Appointment() {
    FormInput in;
    in.kindText = "appointment";
    in.description = "Dentist";
    in.dateText = "12/25/2026";
    in.timeText = "2:30 pm";
    in.notifyText = "3";
    in.periodText = "";
    in.frequency = 1;
    return in;
}

TEST(ReadTypedTime, TableOfTypedTimes) {
    struct Case {
        const char* text;
        bool bad;
        int value;
    };
    const Case cases[] = {
        {"9:30 pm", false, 2130},    {"9:30 am", false, 930},     {"9 am", false, 900},
        {" 9:30am", false, 930},     {"11:59 pm", false, 2359},   {"9:30", false, 0},
        {"9:30 PM", false, 0},       {"12:00 am", false, 2400},   {"12:00 pm", false, 1200},
        {"12:30 pm", false, 1230},   {"12:30 am", false, 2430},   {"12.59 am", false, 2459},
        {"0:30 pm", false, 30},      {"-9:30 pm", false, 0},      {"9:30 ampm", false, 2130},
        {"9:30 pm am", false, 2130}, {"12:59 pm", false, 1259},   {"13:00 pm", true, 0},
        {"12:60 pm", true, 0},       {"99999999999 pm", true, 0}, {"13:00", true, 0},
    };
    for (const Case& c : cases) {
        const TypedTime t = ReadTypedTime(c.text);
        EXPECT_EQ(t.badFormat, c.bad) << c.text;
        EXPECT_EQ(t.value, c.value) << c.text;
    }
}

TEST(CheckReminderForm, BuildsTheReminder) {
    FormInput in = Appointment();
    in.periodText = "2";
    in.frequency = 4;
    const FormResult r = CheckReminderForm(in, kToday);
    ASSERT_TRUE(r.ok) << r.message.text;
    EXPECT_TRUE(r.dateTextChanged);
    EXPECT_EQ(r.dateText, "12-25-2026");
    EXPECT_EQ(r.reminder.kind, kAppointment);
    EXPECT_EQ(r.reminder.Description(), std::string("Dentist") + std::string(41, ' '));
    EXPECT_EQ(r.reminder.date, 20261225);
    EXPECT_EQ(r.reminder.timeOrYear, 1430);
    EXPECT_EQ(r.reminder.notifyDays, 3);
    EXPECT_EQ(r.reminder.period, 2);
    EXPECT_EQ(r.reminder.frequency, kWeeklyPeriod);
}

TEST(CheckReminderForm, ChecksRunInOrderDateNotifyTimeCompleteness) {
    // Each row breaks every field from its own check onward; only the first one reports.
    struct Case {
        const char* name;
        const char* date;
        const char* notify;
        const char* time;
        const char* description;
        const char* text;
        const char* caption;
        MessageIcon icon;
        FormField focus;
    };
    const Case cases[] = {
        {"date", "13-01-2027", "31", "13:00 pm", "", "Month out of range", "Invalid Date",
         MessageIcon::kHand, FormField::kDate},
        {"notify", "12-25-2026", "31", "13:00 pm", "", "Maximum of 30 days", "Reminder Form",
         MessageIcon::kHand, FormField::kNotify},
        {"time", "12-25-2026", "30", "13:00 pm", "", "Bad time format", "Reminder Form",
         MessageIcon::kHand, FormField::kTime},
        {"fields", "12-25-2026", "30", "1:00 pm", "", "Must fill all fields", "Reminder Form",
         MessageIcon::kAsterisk, FormField::kKind},
    };
    for (const Case& c : cases) {
        FormInput in = Appointment();
        in.dateText = c.date;
        in.notifyText = c.notify;
        in.timeText = c.time;
        in.description = c.description;
        const FormResult r = CheckReminderForm(in, kToday);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.message.text, c.text) << c.name;
        EXPECT_EQ(r.message.caption, c.caption) << c.name;
        EXPECT_EQ(r.message.icon, c.icon) << c.name;
        EXPECT_EQ(r.focus, c.focus) << c.name;
    }
}

TEST(CheckReminderForm, DateMessagesAndNormalisedText) {
    struct Case {
        const char* typed;
        const char* normalised;
        const char* message;
    };
    const Case cases[] = {
        {"2-30-2027", "02-30-2027", "Incorrect day specified (must be after today)"},
        {"12-7-2026", "12-07-2026", "Incorrect day specified (must be after today)"},
        {"1-1-5", "01-01-5", "Incorrect day specified (must be after today)"},
        {"1-1-2101", "01-01-2101", "year Must be this 21st century"},
        {"3/5/27", "03-05-2027", ""},
        {"12/25", "12-25-2026", ""},
        {"12-8-26", "12-08-2026", ""},  // today itself is accepted
    };
    for (const Case& c : cases) {
        FormInput in = Appointment();
        in.dateText = c.typed;
        const FormResult r = CheckReminderForm(in, kToday);
        EXPECT_TRUE(r.dateTextChanged) << c.typed;
        EXPECT_EQ(r.dateText, c.normalised) << c.typed;
        EXPECT_EQ(r.ok ? "" : r.message.text, std::string(c.message)) << c.typed;
    }
}

TEST(CheckReminderForm, TwoDigitYearIsCompletedAndKeptWhenALaterCheckFails) {
    FormInput in = Appointment();
    in.dateText = "3/5/27";
    in.description = "";
    const FormResult failed = CheckReminderForm(in, kToday);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.message.text, "Must fill all fields");
    EXPECT_TRUE(failed.dateTextChanged);
    EXPECT_EQ(failed.dateText, "03-05-2027");

    in.description = "Dentist";
    const FormResult ok = CheckReminderForm(in, kToday);
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(ok.reminder.date, 20270305);
}

TEST(CheckReminderForm, NotifyLimitAndEmptyFields) {
    struct Case {
        const char* notify;
        bool ok;
        const char* message;
        int stored;
    };
    const Case cases[] = {
        {"30", true, "", 30},
        {"0", true, "", 0},
        {"abc", true, "", 0},
        {"31", false, "Maximum of 30 days", 0},
        {"999", false, "Maximum of 30 days", 0},  // held at 255, still above 30
        {"", false, "Must fill all fields", 0},
    };
    for (const Case& c : cases) {
        FormInput in = Appointment();
        in.notifyText = c.notify;
        const FormResult r = CheckReminderForm(in, kToday);
        EXPECT_EQ(r.ok, c.ok) << c.notify;
        if (r.ok)
            EXPECT_EQ(r.reminder.notifyDays, c.stored) << c.notify;
        else
            EXPECT_EQ(r.message.text, c.message) << c.notify;
    }

    for (auto clear : {&FormInput::kindText, &FormInput::description, &FormInput::dateText}) {
        FormInput in = Appointment();
        in.*clear = "";
        const FormResult r = CheckReminderForm(in, kToday);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message.text, "Must fill all fields");
        EXPECT_EQ(r.focus, FormField::kKind);
    }
    FormInput noDate = Appointment();
    noDate.dateText = "";
    EXPECT_FALSE(CheckReminderForm(noDate, kToday).dateTextChanged);
}

TEST(CheckReminderForm, TimeRulesFollowTheKindText) {
    struct Case {
        const char* kind;
        const char* time;
        bool ok;
        int kindCode;
        int timeOrYear;
    };
    const Case cases[] = {
        // A time is demanded only by "appointment" and "meeting" typed exactly so.
        {"appointment", "9:30", false, 0, 0},
        {"meeting", "", false, 0, 0},
        {"meeting", "9:30 PM", false, 0, 0},
        {"Appointment", "", true, kAppointment, 0},
        {" appointment ", "9:30", false, 0, 0},
        {"Appointment", "9:30", true, kAppointment, 0},
        {"MEETING", "10 am", true, kMeeting, 1000},
        {"reminder", "9:30", true, kReminderKind, 0},
        {"reminder", "12:00 am", true, kReminderKind, 2400},
        // Kinds 1 and 2 take the time box as a year.
        {"birthday", "1990", true, kBirthday, 1990},
        {"  Birthday ", "1990", true, kBirthday, 1990},
        {"anniversary", "", true, kAnniversary, 0},
    };
    for (const Case& c : cases) {
        FormInput in = Appointment();
        in.kindText = c.kind;
        in.timeText = c.time;
        const FormResult r = CheckReminderForm(in, kToday);
        ASSERT_EQ(r.ok, c.ok) << c.kind << " / " << c.time;
        if (!r.ok) {
            EXPECT_EQ(r.message.text, "Must fill all fields\r\n... and time must include am or pm");
            EXPECT_EQ(r.message.icon, MessageIcon::kAsterisk);
            continue;
        }
        EXPECT_EQ(r.reminder.kind, c.kindCode) << c.kind;
        EXPECT_EQ(r.reminder.timeOrYear, c.timeOrYear) << c.kind << " / " << c.time;
    }
}

// Mend: a kind text that names no kind is refused, not stored as kind 0 with its time box
// read as a year. It is checked after the date and the notify days, before the time.
TEST(CheckReminderForm, AKindTextThatNamesNoKindIsRefused) {
    const std::string unknown =
        "Unknown event kind\r\nThe event must be birthday, anniversary, reminder, appointment "
        "or meeting";
    struct Case {
        const char* kind;
        const char* date;
        const char* notify;
        const char* message;
    };
    const Case cases[] = {
        {"app", "12-25-2026", "3", unknown.c_str()},  // a prefix is not a kind
        {"birth", "12-25-2026", "3", unknown.c_str()},
        {"party", "12-25-2026", "3", unknown.c_str()},
        {"4", "12-25-2026", "3", unknown.c_str()},  // tsy turns a number into its name first
        {"appointments", "12-25-2026", "3", unknown.c_str()},
        {"party", "13-01-2027", "3", "Month out of range"},
        {"party", "12-25-2026", "31", "Maximum of 30 days"},
        {"   ", "12-25-2026", "3", "Must fill all fields"},
    };
    for (const Case& c : cases) {
        FormInput in = Appointment();
        in.kindText = c.kind;
        in.dateText = c.date;
        in.notifyText = c.notify;
        in.timeText = "13:00 pm";  // a bad time: the kind is checked first
        const FormResult r = CheckReminderForm(in, kToday);
        ASSERT_FALSE(r.ok) << c.kind;
        EXPECT_EQ(r.message.text, c.message) << c.kind;
        if (r.message.text == unknown) {
            EXPECT_EQ(r.message.caption, "Reminder Form");
            EXPECT_EQ(r.message.icon, MessageIcon::kHand);
            EXPECT_EQ(r.focus, FormField::kKind);
        }
    }
}

// Mend: the year of a birthday or anniversary is empty or a year from 1800 to this year; a
// time left in the box ("2:30 pm" would be the year 2) or a year to come is refused.
TEST(CheckReminderForm, AYearIsEmptyOrFrom1800ToThisYear) {
    struct Case {
        const char* year;
        int stored;  // -1: refused
    };
    const Case cases[] = {
        {"", 0},         {"1800", 1800}, {" 1990 ", 1990}, {"2026", 2026}, {"01990", 1990},
        {"1799", -1},    {"2027", -1},   {"3000", -1},     {"2", -1},      {"0", -1},
        {"2:30 pm", -1}, {"1990a", -1},  {"19 90", -1},    {"99999", -1},  {"-1990", -1},
    };
    for (const int kind : {kBirthday, kAnniversary}) {
        for (const Case& c : cases) {
            FormInput in = Appointment();
            in.kindText = std::string(KindName(kind));
            in.timeText = c.year;
            in.frequency = kAnnual;
            const FormResult r = CheckReminderForm(in, kToday);
            ASSERT_EQ(r.ok, c.stored >= 0) << c.year;
            if (r.ok) {
                EXPECT_EQ(r.reminder.kind, kind);
                EXPECT_EQ(r.reminder.timeOrYear, c.stored) << c.year;
            } else {
                EXPECT_EQ(r.message.text,
                          "Bad year\r\nThe year must be from 1800 to 2026, or empty");
                EXPECT_EQ(r.message.caption, "Reminder Form");
                EXPECT_EQ(r.message.icon, MessageIcon::kHand);
                EXPECT_EQ(r.focus, FormField::kTime) << c.year;
            }
        }
    }
    // The upper bound is the year of the day given as today.
    FormInput in = Appointment();
    in.kindText = "birthday";
    in.timeText = "2027";
    in.dateText = "1-5-2027";
    EXPECT_TRUE(CheckReminderForm(in, 20270101).ok);
}

TEST(CheckReminderForm, PeriodAndDescriptionAreHeldToTheirFields) {
    const std::pair<const char*, int> periods[] = {{"", 1}, {"0", 1}, {"3", 3}, {"300", 255}};
    for (auto [text, stored] : periods) {
        FormInput in = Appointment();
        in.periodText = text;
        EXPECT_EQ(CheckReminderForm(in, kToday).reminder.period, stored) << text;
    }
    FormInput in = Appointment();
    in.description = std::string(47, 'x') + "yz";
    EXPECT_EQ(CheckReminderForm(in, kToday).reminder.Description(), std::string(47, 'x') + "y");
    in.frequency = 0;  // no option button checked
    EXPECT_EQ(CheckReminderForm(in, kToday).reminder.frequency, 0);
}

TEST(FindKind, ExactAndPrefixIgnoreCase) {
    EXPECT_EQ(FindKindExact("Meeting"), kMeeting);
    EXPECT_EQ(FindKindExact("\tANNIVERSARY  "), kAnniversary);
    EXPECT_EQ(FindKindExact("meet"), 0);
    EXPECT_EQ(FindKindExact(""), 0);
    EXPECT_EQ(FindKindPrefix("APP"), kAppointment);
    EXPECT_EQ(FindKindPrefix("b"), kBirthday);
    EXPECT_EQ(FindKindPrefix("meetings"), 0);
    EXPECT_EQ(FindKindPrefix("x"), 0);
}

}  // namespace
}  // namespace tessaly
