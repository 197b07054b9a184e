#include "platform/GreekQtTranslator.h"

#include <cstring>

namespace tamisko {
namespace {

struct Translation final
{
    const char* context;
    const char* source;
    const char* greek;
};

constexpr Translation kTranslations[] = {
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Save", "Αποθήκευση"},
    {"QPlatformTheme", "Save All", "Αποθήκευση όλων"},
    {"QPlatformTheme", "Open", "Άνοιγμα"},
    {"QPlatformTheme", "&Yes", "&Ναι"},
    {"QPlatformTheme", "Yes to &All", "Ναι σε ό&λα"},
    {"QPlatformTheme", "&No", "Ό&χι"},
    {"QPlatformTheme", "N&o to All", "Όχι σε όλ&α"},
    {"QPlatformTheme", "Abort", "Τερματισμός"},
    {"QPlatformTheme", "Retry", "Επανάληψη"},
    {"QPlatformTheme", "Ignore", "Παράβλεψη"},
    {"QPlatformTheme", "Close", "Κλείσιμο"},
    {"QPlatformTheme", "Cancel", "Άκυρο"},
    {"QPlatformTheme", "Discard", "Απόρριψη"},
    {"QPlatformTheme", "Help", "Βοήθεια"},
    {"QPlatformTheme", "Apply", "Εφαρμογή"},
    {"QPlatformTheme", "Reset", "Επαναφορά"},
    {"QPlatformTheme", "Restore Defaults", "Επαναφορά προεπιλογών"},

    {"QMessageBox", "Show Details...", "Εμφάνιση λεπτομερειών..."},
    {"QMessageBox", "Hide Details...", "Απόκρυψη λεπτομερειών..."},
    {"QMessageBox", "OK", "OK"},
    {"QMessageBox", "Cancel", "Άκυρο"},

    {"QFileDialog", "Look in:", "Αναζήτηση σε:"},
    {"QFileDialog", "Back", "Πίσω"},
    {"QFileDialog", "Go back", "Μετάβαση πίσω"},
    {"QFileDialog", "Forward", "Εμπρός"},
    {"QFileDialog", "Go forward", "Μετάβαση εμπρός"},
    {"QFileDialog", "Parent Directory", "Γονικός φάκελος"},
    {"QFileDialog", "Go to the parent directory", "Μετάβαση στον γονικό φάκελο"},
    {"QFileDialog", "Create New Folder", "Δημιουργία νέου φακέλου"},
    {"QFileDialog", "Create a New Folder", "Δημιουργία νέου φακέλου"},
    {"QFileDialog", "List View", "Προβολή λίστας"},
    {"QFileDialog", "Change to list view mode", "Προβολή ως λίστα"},
    {"QFileDialog", "Detail View", "Προβολή λεπτομερειών"},
    {"QFileDialog", "Change to detail view mode", "Προβολή με λεπτομέρειες"},
    {"QFileDialog", "Sidebar", "Πλευρική στήλη"},
    {"QFileDialog", "List of places and bookmarks", "Θέσεις και σελιδοδείκτες"},
    {"QFileDialog", "Files", "Αρχεία"},
    {"QFileDialog", "Files of type:", "Αρχεία τύπου:"},
    {"QFileDialog", "File &name:", "Όνομα &αρχείου:"},
    {"QFileDialog", "Directory:", "Φάκελος:"},
    {"QFileDialog", "&Open", "Ά&νοιγμα"},
    {"QFileDialog", "&Save", "Απο&θήκευση"},
    {"QFileDialog", "&Choose", "&Επιλογή"},
    {"QFileDialog", "Open", "Άνοιγμα"},
    {"QFileDialog", "Save As", "Αποθήκευση ως"},
    {"QFileDialog", "Find Directory", "Εύρεση φακέλου"},
    {"QFileDialog", "&Rename", "&Μετονομασία"},
    {"QFileDialog", "&Delete", "&Διαγραφή"},
    {"QFileDialog", "Show &hidden files", "Εμφάνιση &κρυφών αρχείων"},
    {"QFileDialog", "&New Folder", "&Νέος φάκελος"},
    {"QFileDialog", "New Folder", "Νέος φάκελος"},
    {"QFileDialog", "Recent Places", "Πρόσφατες θέσεις"},
    {"QFileDialog", "All Files (*)", "Όλα τα αρχεία (*)"},
    {"QFileDialog", "All files (*)", "Όλα τα αρχεία (*)"},
    {"QFileDialog", "Directories", "Φάκελοι"},
    {"QFileDialog", "Could not delete directory.", "Δεν ήταν δυνατή η διαγραφή του φακέλου."},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Να διαγραφεί σίγουρα το «%1»;"},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "Το «%1» προστατεύεται από εγγραφή.\nΝα διαγραφεί παρ' όλα αυτά;"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "Το %1 υπάρχει ήδη.\nΝα αντικατασταθεί;"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nΔεν βρέθηκε το αρχείο.\nΕλέγξτε ότι δόθηκε το σωστό όνομα αρχείου."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nΔεν βρέθηκε ο φάκελος.\nΕλέγξτε ότι δόθηκε το σωστό όνομα φακέλου."},

    {"QFileSystemModel", "Name", "Όνομα"},
    {"QFileSystemModel", "Size", "Μέγεθος"},
    {"QFileSystemModel", "Type", "Τύπος"},
    {"QFileSystemModel", "Kind", "Είδος"},
    {"QFileSystemModel", "Date Modified", "Τροποποιήθηκε"},
    {"QFileSystemModel", "Computer", "Υπολογιστής"},
    {"QFileSystemModel", "My Computer", "Ο υπολογιστής μου"},
    {"QAbstractFileIconProvider", "Folder", "Φάκελος"},
    {"QAbstractFileIconProvider", "File", "Αρχείο"},
    {"QAbstractFileIconProvider", "Drive", "Μονάδα δίσκου"},
    {"QAbstractFileIconProvider", "%1 File", "Αρχείο %1"},

    {"QLineEdit", "&Undo", "&Αναίρεση"},
    {"QLineEdit", "&Redo", "Α&κύρωση αναίρεσης"},
    {"QLineEdit", "Cu&t", "Απο&κοπή"},
    {"QLineEdit", "&Copy", "Αντι&γραφή"},
    {"QLineEdit", "&Paste", "&Επικόλληση"},
    {"QLineEdit", "Delete", "Διαγραφή"},
    {"QLineEdit", "Select All", "Επιλογή όλων"},
    {"QWidgetTextControl", "&Undo", "&Αναίρεση"},
    {"QWidgetTextControl", "&Redo", "Α&κύρωση αναίρεσης"},
    {"QWidgetTextControl", "Cu&t", "Απο&κοπή"},
    {"QWidgetTextControl", "&Copy", "Αντι&γραφή"},
    {"QWidgetTextControl", "Copy &Link Location", "Αντιγραφή &διεύθυνσης συνδέσμου"},
    {"QWidgetTextControl", "&Paste", "&Επικόλληση"},
    {"QWidgetTextControl", "Delete", "Διαγραφή"},
    {"QWidgetTextControl", "Select All", "Επιλογή όλων"},
    {"QAbstractSpinBox", "&Select All", "&Επιλογή όλων"},
    {"QAbstractSpinBox", "&Step up", "&Αύξηση"},
    {"QAbstractSpinBox", "Step &down", "&Μείωση"},
};

} // namespace

QString GreekQtTranslator::translate(const char* context, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const
{
    if (!context || !sourceText)
        return {};
    for (const auto& entry : kTranslations) {
        if (std::strcmp(entry.context, context) == 0 && std::strcmp(entry.source, sourceText) == 0)
            return QString::fromUtf8(entry.greek);
    }
    return {};
}

} // namespace tamisko
