#include "app/DocumentWindows.h"

#include "analysis/diaxFrm.h"
#include "analysis/SigrisisFrm.h"
#include "app/MainFrm.h"
#include "platform/Help.h"
#include "views/CatFrm.h"
#include "views/ImportFrm.h"
#include "views/KinisiFrm.h"
#include "views/PinakasFrm.h"

namespace tamisko {
namespace {

// F1 in a window opens its topic.
template<typename Form> Form* withHelp(Form* form)
{
    help::setHelpContext(form, Form::kHelpContext);
    return form;
}

} // namespace

void registerDocumentWindows(MainForm& mainForm, DataMod& data, LogReport& logReport,
                             SigrisisReport& sigrisisReport)
{
    mainForm.setWindowFactory(DocumentWindow::Kinisi, [&data](QWidget* clientArea) {
        return withHelp(new KinisiForm(data, nullptr, clientArea));
    });
    mainForm.setWindowFactory(DocumentWindow::Categories, [&](QWidget* clientArea) {
        auto* form = withHelp(new CatForm(data, nullptr, clientArea));
        form->setDocumentNotifier(&mainForm);
        return form;
    });
    mainForm.setWindowFactory(DocumentWindow::Pinakas, [&data, &logReport](QWidget* clientArea) {
        return withHelp(new PinakasForm(data, logReport, nullptr, clientArea));
    });
    mainForm.setWindowFactory(
        DocumentWindow::Sigrisis, [&data, &sigrisisReport](QWidget* clientArea) {
            return withHelp(new SigrisisForm(data, sigrisisReport, nullptr, clientArea));
        });
    mainForm.setWindowFactory(DocumentWindow::Diaxronika, [&data](QWidget* clientArea) {
        return withHelp(new DiaxForm(data, nullptr, clientArea));
    });
    mainForm.setNewMovementCommand(startNewMovement);
    mainForm.setWindowFactory(DocumentWindow::Import, [&data, &mainForm](QWidget* clientArea) {
        auto* form = new ImportForm(data, mainForm.regionalSettings(), nullptr, clientArea);
        form->setImportedCallback(
            [&mainForm](std::function<void()> undo) { mainForm.offerImportUndo(std::move(undo)); });
        return form;
    });
    mainForm.setImportCommand(startImport);
}

void startImport(QWidget& importWindow)
{
    if (auto* form = qobject_cast<ImportForm*>(&importWindow))
        form->start();
}

void startNewMovement(QWidget& entryWindow)
{
    if (auto* entry = qobject_cast<KinisiForm*>(&entryWindow))
        entry->btnNew->click();
}

} // namespace tamisko
