// A plug-in's boxes must reach the user as dialogs when the IDE hosts it: the
// plug-in carries its own copy of the box layer, so the IDE's default does
// not reach it.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

#include "AbstractCompiler.h"
#include "DynamicLibrary.h"

namespace {

TEST(PluginBoxes, CompilerOptionsBoxIsADialogInAQtHost)
{
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.open(QUORIN_ASSEMBLER_PATH)) << library.lastError();
    auto create = library.function<GetCompilerInstanceFn>(kGetCompilerInstanceExport);
    auto destroy = library.function<FreeCompilerInstanceFn>(kFreeCompilerInstanceExport);
    ASSERT_NE(create, nullptr);
    AbstractCompiler* compiler = create();
    ASSERT_NE(compiler, nullptr);

    std::string title;
    std::string text;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle().toStdString();
            text = box->text().toStdString();
            box->accept();
        }
    });
    closer.start();
    compiler->ShowOptions();
    closer.stop();
    destroy(compiler);

    EXPECT_EQ(title, "Compiler Options");
    EXPECT_EQ(text, "The selected compiler has no options.");
}

}  // namespace
