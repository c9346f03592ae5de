#pragma once
// The manual in a window of the IDE's own, for a desktop that has no program
// registered to show a web page.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own that closes with the owner.
    explicit HelpWindow(QWidget* owner);

    // Shows the page and brings the window to the front; false, with nothing
    // shown, when the page cannot be read.
    bool showPage(const QString& path);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
