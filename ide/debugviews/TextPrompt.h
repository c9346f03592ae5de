#pragma once
// An input box with one line of text, behind an interface so that the
// windows that ask for a value can be tested headless.

#include <QString>
#include <optional>

class QWidget;

class TextPrompt {
public:
    virtual ~TextPrompt() = default;
    // The text entered, or none when cancelled.
    virtual std::optional<QString> ask(const QString& title, const QString& prompt, const QString& initial) = 0;
};

class QtTextPrompt final : public TextPrompt {
public:
    explicit QtTextPrompt(QWidget* parent) : parent_(parent) {}
    std::optional<QString> ask(const QString& title, const QString& prompt, const QString& initial) override;

private:
    QWidget* parent_;
};
