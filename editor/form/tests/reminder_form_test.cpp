// The reminder form's rules apart from its checks: form texts, same-date numbers and stepping.
#include "editor/form/reminder_form.h"

#include <gtest/gtest.h>

#include "editor/form/date_texts.h"

namespace tessaly {
namespace {

constexpr DateKey kToday = 20261208;  // a Tuesday

TEST(FormTexts, KindChoiceAndTimeFields) {
    EXPECT_EQ(ChooseKind(kBirthday).timeLabel, "year");
    EXPECT_EQ(ChooseKind(kAnniversary).frequency, kAnnual);
    EXPECT_EQ(ChooseKind(kMeeting).timeLabel, "time");
    EXPECT_EQ(ChooseKind(kReminderKind).frequency, kOneTime);

    struct Case {
        int kind;
        int t;
        const char* text;
        const char* label;
    };
    const Case cases[] = {
        {kAppointment, 1430, "2:30 pm", "time:"},
        {kMeeting, 2400, "12:00 am", "time:"},
        {kReminderKind, 930, "9:30 am", "time:"},
        {kReminderKind, 1200, "12:00 pm", "time:"},
        {kBirthday, 1990, "1990", "year:"},
        {0, 1430, "1430", "year:"},
        {kAppointment, 0, "", ""},
        {kBirthday, 0, "", ""},
    };
    for (const Case& c : cases) {
        const FormTimeFields f = FormTimeText(c.kind, c.t);
        EXPECT_EQ(f.timeText, c.text) << c.kind << " " << c.t;
        EXPECT_EQ(f.timeLabel, c.label) << c.kind << " " << c.t;
    }
}

TEST(PeriodLabelText, LabelsByCodeAndDate) {
    struct Case {
        int code;
        const char* date;
        bool change;
        bool show;
        const char* label;
    };
    const Case cases[] = {
        {3, "02-09-2027", true, true, "months"},
        {4, "02-09-2027", true, true, "weeks"},
        {5, "02-09-2027", true, true, "months\r\n2nd Tuesday"},  // the 9th, a Tuesday
        {5, "3/30/27", true, true, "months\r\n Tuesday"},        // no fifth ordinal
        {5, "12-1-2026", false, false, ""},                      // past: nothing changes
        {5, "12/22", true, true, "months\r\n4th Tuesday"},       // year left out: this year
        {1, "02-09-2027", true, false, ""},
        {2, "02-09-2027", true, false, ""},
        {3, "13-01-2027", false, false, ""},
        {3, "", false, false, ""},
    };
    for (const Case& c : cases) {
        const PeriodFields f = PeriodLabelText(c.code, c.date, kToday);
        EXPECT_EQ(f.change, c.change) << c.code << " " << c.date;
        EXPECT_EQ(f.show, c.show) << c.code << " " << c.date;
        EXPECT_EQ(f.label, c.label) << c.code << " " << c.date;
    }
}

ReminderList ListOfDates(std::initializer_list<DateKey> dates) {
    ReminderList list;
    for (DateKey d : dates) {
        Reminder r;
        r.date = d;
        list.Append(r);
    }
    return list;
}

TEST(SameDateOrdinals, NumbersRunsOfTwoOrMore) {
    EXPECT_EQ(SameDateOrdinals(ListOfDates({})), std::vector<int>({0}));
    EXPECT_EQ(SameDateOrdinals(ListOfDates({5})), std::vector<int>({0, 0}));
    EXPECT_EQ(SameDateOrdinals(ListOfDates({1, 2, 2, 3, 4, 4, 4, 5})),
              std::vector<int>({0, 0, 1, 2, 0, 1, 2, 3, 0}));
    EXPECT_EQ(SameDateOrdinals(ListOfDates({7, 9, 9})), std::vector<int>({0, 0, 1, 2}));
}

TEST(StatusTexts, PositionAndSameDateNumber) {
    EXPECT_EQ(StatusPositionText(3, 12), "  Reminder 3 of 12");
    // The two forms of part 3 differ only for an unshared date.
    EXPECT_EQ(SameDateText(2), " 2");
    EXPECT_EQ(CalendarSameDateText(2), " 2");
    EXPECT_EQ(SameDateText(0), "");
    EXPECT_EQ(CalendarSameDateText(0), "   ");
}

// The Delete question names the reminder that goes: its stored description, read as
// Windows-1252; with a blank description its kind and date.
TEST(StatusTexts, DeleteQuestionNamesTheReminder) {
    Reminder r;
    r.kind = kAppointment;
    r.date = 20261225;
    r.SetDescription("Caf\xe9 with Ann");
    EXPECT_EQ(DeleteQuestionCaption(r), "Caf\xc3\xa9 with Ann" + std::string(35, ' '));
    r.SetDescription("");
    EXPECT_EQ(DeleteQuestionCaption(r), "appointment 12-25-2026");
    r.kind = 0;  // a damaged record names no kind
    EXPECT_EQ(DeleteQuestionCaption(r), "12-25-2026");
}

TEST(DateTexts, EachFormatReadsBackAsTheSameDate) {
    EXPECT_EQ(FormDateText(20270105), "01-05-2027");
    EXPECT_EQ(NewReminderDateText(1, 5, 2027), "1-5-2027");
    EXPECT_EQ(DoubleClickDateText(1, 5, 2027), "01-05-27");
    for (const std::string& text : {FormDateText(20270105), NewReminderDateText(1, 5, 2027)}) {
        EXPECT_EQ(DateKeyFromText(text), 20270105) << text;
    }
    // The two-digit year is completed by the date check before a reminder is built.
    std::string typed = DoubleClickDateText(1, 5, 2027);
    EXPECT_EQ(ValidateDateText(typed, 20261209), "");
    EXPECT_EQ(typed, "01-05-2027");
}

TEST(SteppingIndex, FromTheShownReminderOrTheChosenDay) {
    const ReminderList list = ListOfDates({20261210, 20261215, 20261215, 20261220});
    struct Case {
        bool next;
        int current;
        DateKey selected;
        int expected;
    };
    const Case cases[] = {
        {true, 2, 0, 3},         {false, 2, 0, 1},        {true, 4, 0, 5},
        {false, 1, 0, 0},        {true, 0, 0, 1},         {true, 2, 20261212, 3},
        {true, 0, 20261212, 2},  {false, 0, 20261212, 1}, {true, 0, 20261215, 2},
        {false, 0, 20261215, 1}, {true, 0, 20261205, 1},  {false, 0, 20261205, -1},
        {true, 0, 20261225, 0},  {false, 0, 20261225, 4}, {true, 0, 20261217, 4},
        {false, 0, 20261217, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SteppingIndex(c.next, c.current, c.selected, list), c.expected)
            << (c.next ? "next" : "prev") << " from " << c.current << " day " << c.selected;
    }
    const ReminderList empty;
    EXPECT_EQ(SteppingIndex(true, 0, 20261212, empty), 0);
    EXPECT_EQ(SteppingIndex(false, 0, 20261212, empty), -1);
}

}  // namespace
}  // namespace tessaly
