// Choosing a day in a date picker's calendar pop-up, as the user does.
#pragma once

#include <QDate>

class QDateEdit;

namespace orla::test {

// Opens the picker's pop-up with a click on its arrow, turns to the day's
// month when the pop-up shows another, and clicks the day. False when the
// pop-up did not open or the day is not shown.
bool PickDay(QDateEdit* picker, const QDate& day);

}  // namespace orla::test
