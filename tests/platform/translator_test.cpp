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

struct Lookup
{
    const char* context;
    const char* source;
    const char* greek;
};

// A few strings of each context the print dialogs, page set-up and print preview use.
TEST_F(GreekQt, PrintingDialogsSpeakGreek)
{
    const Lookup lookups[] = {
        {"QPrintDialog", "Print", "Εκτύπωση"},
        {"QPrintDialog", "&Options >>", "&Επιλογές >>"},
        {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?",
         "Το %1 υπάρχει ήδη.\nΝα αντικατασταθεί;"},
        {"QPrintWidget", "Output &file:", "&Αρχείο εξόδου:"},
        {"QPrintSettingsOutput", "Pages from", "Σελίδες από"},
        {"QPrintPropertiesDialog", "Printer Properties", "Ιδιότητες εκτυπωτή"},
        {"QCupsJobWidget", "Job priority:", "Προτεραιότητα εργασίας:"},
        {"QPageSetupWidget", "Landscape", "Οριζόντιος"},
        {"QPageSetupWidget", "Pica (P\u0338)", "Πίκα (P\u0338)"},
        {"QPrintPreviewDialog", "Print Preview", "Προεπισκόπηση εκτύπωσης"},
        {"QPrintPreviewDialog", "Page setup", "Διαμόρφωση σελίδας"},
        {"QPrintPreviewDialog", "Fit width", "Προσαρμογή στο πλάτος"},
        {"QPageSize", "Envelope C5", "Φάκελος C5"},
        {"QPageSize", "Custom (%1mm x %2mm)", "Άλλο μέγεθος (%1mm x %2mm)"},
    };
    for (const Lookup& lookup : lookups) {
        EXPECT_EQ(QCoreApplication::translate(lookup.context, lookup.source),
                  QString::fromUtf8(lookup.greek))
            << lookup.context << ": " << lookup.source;
    }
    // Paper names without words stay as they are.
    EXPECT_EQ(QCoreApplication::translate("QPageSize", "A4"), "A4");
}

TEST_F(GreekQt, UnknownStringsFallBackToTheSource)
{
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "no such text"), "no such text");
    EXPECT_EQ(QCoreApplication::translate("NoContext", "Cancel"), "Cancel");
}
