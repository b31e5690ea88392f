// The two-month calendar painted with GDI from a picture of what it should show.
#pragma once

#include <windows.h>

#include "editor/calendar/calendar_rules.h"

namespace tessaly::calendar {

// Paints the whole calendar: rules and weekday headers, month titles, day numbers (shaded
// where a reminder falls), today's ring and the selection frame. The picture is read, never
// changed. eraseDays blanks the day area first, for a drawing outside WM_PAINT where the old
// days, frame and shading are still on the screen.
void PaintCalendar(HDC dc, const Picture& picture, bool eraseDays);

}  // namespace tessaly::calendar
