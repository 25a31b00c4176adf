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
    const QRect arrow = picker->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxArrow, picker);
    QTest::mouseClick(picker, Qt::LeftButton, {}, arrow.center());
    QCalendarWidget* calendar = picker->calendarWidget();
    auto* days = calendar->findChild<QAbstractItemView*>();
    if (!calendar->isVisible() || !days)
        return false;
    if (calendar->yearShown() != day.year() || calendar->monthShown() != day.month())
        calendar->setCurrentPage(day.year(), day.month());
    // The grid shows the end of the month before (days 22 and up) in its first row and
    // the start of the month after (days up to 14) in its last rows.
    const QAbstractItemModel* model = days->model();
    const QString number = QString::number(day.day());
    QModelIndex cell;
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if (model->data(index).toString() != number)
                continue;
            if (!cell.isValid() || day.day() >= 15)
                cell = index;  // the first for early days, the last for late ones
        }
    }
    if (!cell.isValid())
        return false;
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(cell).center());
    return !calendar->isVisible();
}

}  // namespace orla::test
