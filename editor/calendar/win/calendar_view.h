// The month calendar painted onto the main window's client area with GDI.
#pragma once

#include <windows.h>

#include <string_view>

#include "editor/calendar/calendar_state.h"

namespace tessaly::calendar {

// One painting routine for the window and for captures: each takes the DC to draw on.
void DrawCalendarFrame(HDC dc);
void ClearCalendarDays(HDC dc);
// Draws the pair starting at month/year, resolves the click point, and updates the marked
// cell, chosen day, current index, form, status bar and form mode through state.hooks.
void DrawMonthPair(HDC dc, CalendarState& state, int month, int year);
// Shows the pair holding the date ("m-d-y" or "m/d/y") and selects it.
void ShowDateInCalendar(HDC dc, CalendarState& state, std::string_view dateText);

// Convenience wrappers that take the window's DC (GetDC/ReleaseDC) for the calls above.
void DrawCalendarFrame(HWND window);
void ClearCalendarDays(HWND window);
void DrawMonthPair(HWND window, CalendarState& state, int month, int year);
void ShowDateInCalendar(HWND window, CalendarState& state, std::string_view dateText);

}  // namespace tessaly::calendar
