// The main window's tool windows that exist so far (Messages; the project
// window belongs to the project session) and the opening of a file at a line.

#include "AbstractDevice.h"
#include "DeviceBinding.h"
#include "EditorWindows.h"
#include "MessageBoxes.h"
#include "TFormMessages.h"
#include "TMainForm.h"

void TMainForm::createMessagesWindow(std::optional<QRect> rect, int placement)
{
    messages_ = new TFormMessages(this, false, rect, placement);
    messages_->SetLocator([this](const QString& line, QString* file, int* number) {
        return binding_->LocateMessage(line, file, number);
    });
    messages_->SetFileOpener([this](const QString& file, int line) { OpenFileAtLine(file, line); });
}

void TMainForm::AddMessage(const QString& text)
{
    if (!messages_)
        createMessagesWindow(std::nullopt, TDockableForm::kDockBottom);
    messages_->ShowInPage();
    messages_->AddMessage(text);
}

void TMainForm::ClearMessages()
{
    if (messages_)
        messages_->ClearMessages();
}

TDockableForm* TMainForm::toolWindow(int id) const
{
    return id == tolvane::kViewMessages ? messages_.data() : nullptr;
}

void TMainForm::closeToolWindow(int id)
{
    if (TDockableForm* window = toolWindow(id)) {
        window->CloseOrUndock();
        window->deleteLater();
        messages_ = nullptr;
    }
}

void TMainForm::ClearDebugWindows()
{
    // The debug views keep no device data yet: nothing to clear.
}

void TMainForm::RefreshToolWindows()
{
    if (messages_)
        messages_->RefreshView();
}

void TMainForm::OpenFileAtLine(const QString& path, int line)
{
    if (line > 0)
        editors_->OpenFileAtLine(path, line);
    else if (editors_->TryOpenEditor(path) == EditorWindows::Opening::FileNotFound)
        platform::showError(path.toStdString() + " does not exist.");
}
