#pragma once

class QWidget;

namespace tamisko {

class DataMod;
class LogReport;
class MainForm;
class SigrisisReport;

// Registers the document windows of the program with the main window; each is
// created on its command's first use, embedded in the client area.
void registerDocumentWindows(MainForm& mainForm, DataMod& data, LogReport& logReport,
                             SigrisisReport& sigrisisReport);

// F10's new movement: presses the entry window's new button.
void startNewMovement(QWidget& entryWindow);

// Ctrl+I: the import window asks for a file.
void startImport(QWidget& importWindow);

} // namespace tamisko
