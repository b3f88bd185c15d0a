#pragma once

// The toolkit's own texts (file dialogs, message box buttons) in Japanese, like
// every text of the window itself.

class QCoreApplication;
class QTranslator;

namespace veldra {

// Loads the toolkit's Japanese translations from its translations folder and
// installs them on `app`, which owns them. Null when the translations are not
// installed; the toolkit's texts then stay English.
QTranslator* InstallJapaneseToolkitTexts(QCoreApplication& app);

}  // namespace veldra
