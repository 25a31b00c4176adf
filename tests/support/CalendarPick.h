// Choosing a day in a date picker's calendar pop-up, as the user does.
#pragma once

#include <QDate>

class QDateEdit;

namespace orla::test {

// Opens the pop-up with a click on the picker's arrow, turns to the day's month
// and clicks the day. False when that did not happen.
bool PickDay(QDateEdit* picker, const QDate& day);

}  // namespace orla::test
