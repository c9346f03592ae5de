#include "TFormStatistics.h"

#include <QGridLayout>
#include <QLabel>

#include "AbstractDevice.h"
#include "ElapsedTime.h"
#include "HourglassCursor.h"

namespace {

constexpr int kSpacing = 16;

QLabel* valuePanel(QWidget* parent)
{
    auto* panel = new QLabel(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return panel;
}

}  // namespace

TFormStatistics::TFormStatistics(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewStatistics, QStringLiteral("Statistics"))
{
    auto* panel = new QWidget(this);
    machineCycles_ = valuePanel(panel);
    executionTime_ = valuePanel(panel);
    auto* layout = new QGridLayout(panel);
    layout->setHorizontalSpacing(kSpacing);
    layout->setVerticalSpacing(kSpacing);
    layout->addWidget(new QLabel(QStringLiteral("Machine Cycles:"), panel), 0, 0);
    layout->addWidget(machineCycles_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Execution Time:"), panel), 1, 0);
    layout->addWidget(executionTime_, 1, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    setContentStack({panel});

    ResetView();
    Place(placement, rect);
}

void TFormStatistics::RefreshView()
{
    if (!beginViewRefresh())
        return;
    platform::HourglassCursor busy;
    AbstractDevice* device = currentDevice();
    uint64_t cycles = 0;
    float microseconds = 0;
    if (device->GetCycleCount(&cycles) != tolvane::kStatusDone
        || device->GetElapsedTime(&microseconds) != tolvane::kStatusDone)
        return;
    // A time no clock gives counts as a failed answer: the panels keep what they show.
    const std::optional<QString> elapsed = elapsedTimeText(microseconds);
    if (!elapsed)
        return;
    machineCycles_->setText(QString::number(cycles));
    executionTime_->setText(*elapsed);
}

QString TFormStatistics::machineCyclesText() const
{
    return machineCycles_->text();
}

QString TFormStatistics::executionTimeText() const
{
    return executionTime_->text();
}
