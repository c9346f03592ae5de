#pragma once
// The Messages window: build lines and every line the device sends. A double
// click opens the file and line of the nearest message line at or above the
// caret that the device can place.

#include <functional>

#include "TDockableForm.h"

class QAction;
class QMenu;
class QPlainTextEdit;

class TFormMessages : public TDockableForm {
    Q_OBJECT
public:
    // Asks the device which file and line a message line names.
    using Locator = std::function<bool(const QString& messageLine, QString* file, int* line)>;
    using FileOpener = std::function<void(const QString& file, int line)>;

    TFormMessages(QMainWindow* owner, bool noPlacement, std::optional<QRect> rect, int placement);

    void SetLocator(Locator locator) { locator_ = std::move(locator); }
    void SetFileOpener(FileOpener opener) { opener_ = std::move(opener); }

    // Appends the text as a new line (does not show the window).
    void AddMessage(const QString& text);
    void ClearMessages();
    QStringList Lines() const;
    QPlainTextEdit* Memo() const { return memo_; }

    void MemoDblClick();
    void PopupMenuPopup();
    void MenuItemClearClick();
    void MenuItemCopyClick();
    void MenuItemSelectAllClick();

    QAction* ClearAction() const { return clear_; }
    QAction* CopyAction() const { return copy_; }
    QAction* SelectAllAction() const { return selectAll_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* memo_;
    QMenu* popup_;
    QAction* clear_;
    QAction* copy_;
    QAction* selectAll_;
    Locator locator_;
    FileOpener opener_;
};
