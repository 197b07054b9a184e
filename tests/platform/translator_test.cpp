#include "platform/GreekQtTranslator.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace tamisko;

class GreekQt : public ::testing::Test
{
protected:
    void SetUp() override { QCoreApplication::installTranslator(&translator); }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    GreekQtTranslator translator;
};

TEST_F(GreekQt, StandardButtonsSpeakGreek)
{
    QMessageBox box(QMessageBox::Warning, "Αποθήκευση αλλαγών", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ναι");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "Ό&χι");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Άκυρο");

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), "OK");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Άκυρο");
}

TEST_F(GreekQt, FileDialogSpeaksGreek)
{
    QFileDialog dialog(nullptr, "Άνοιγμα");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto label = dialog.findChild<QLabel*>("fileNameLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Όνομα &αρχείου:");
    EXPECT_EQ(dialog.findChild<QLabel*>("lookInLabel")->text(), "Αναζήτηση σε:");
    const auto box = dialog.findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text(), "Άκυρο");
}

TEST_F(GreekQt, UnknownStringsFallBackToTheSource)
{
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "no such text"), "no such text");
    EXPECT_EQ(QCoreApplication::translate("NoContext", "Cancel"), "Cancel");
}
