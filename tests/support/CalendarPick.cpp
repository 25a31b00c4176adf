#include "CalendarPick.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QStyleOptionComboBox>
#include <QTest>

namespace orla::test {

bool PickDay(QDateEdit* picker, const QDate& day) {
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    QTest::mouseClick(
        picker, Qt::LeftButton, {},
        picker->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, picker)
            .center());
    QCalendarWidget* calendar = picker->calendarWidget();
    auto* days = calendar->findChild<QAbstractItemView*>();
    if (!calendar->isVisible())
        return false;
    calendar->setCurrentPage(day.year(), day.month());  // the arrows a user would click
    // The month before ends in the first row (days 22 on), the month after starts in the
    // last ones (days up to 14): the first cell of an early day, the last of a late one.
    QModelIndex cell;
    for (int r = 0; r < days->model()->rowCount(); ++r)
        for (int c = 0; c < days->model()->columnCount(); ++c)
            if (days->model()->index(r, c).data().toString() == QString::number(day.day()) &&
                (!cell.isValid() || day.day() >= 15))
                cell = days->model()->index(r, c);
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(cell).center());
    return cell.isValid() && !calendar->isVisible();
}

}  // namespace orla::test
