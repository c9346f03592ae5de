#include "DebugWindow.h"

#include "DebugViewHost.h"

DebugWindow::DebugWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption)
    : TDockableForm(owner, true, std::nullopt, kFloatHidden, caption), host_(host), viewId_(viewId)
{}

QFont DebugWindow::GridFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

bool DebugWindow::BeginViewRefresh()
{
    return CheckViewEnabled(host_.device(), viewId_) && BeginRefresh();
}

AbstractDevice* DebugWindow::Device() const
{
    return host_.device();
}
