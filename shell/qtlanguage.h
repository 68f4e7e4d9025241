#pragma once

// Qt's own texts (message box buttons, file dialogs, context menus) in the program's
// language. For Chinese, Qt's Traditional Chinese catalogue is loaded, with the few texts
// of the file dialog that it lacks, and the file dialog's sizes, dates and file types are
// written the Taiwanese way; for English all of that is taken away again. Returns false
// when Chinese was asked for and Qt's catalogue could not be loaded: Qt's texts then stay
// English.
bool useQtLanguage(bool chinese);
