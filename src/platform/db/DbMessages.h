#pragma once

#include <exception>

// The questions and reports of the data-aware controls, through the dialog service.
namespace tamisko::db {

// Shows a failure of a table operation (caption: the application's title, error icon).
void reportError(const std::exception& error);

// "Delete record?" with OK and Cancel; true for OK.
bool confirmDelete();

} // namespace tamisko::db
