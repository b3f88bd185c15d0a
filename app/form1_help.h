#pragma once

// The fixed help text of the options panel.

#include <QString>

namespace veldra {

QString HelpText();

}  // namespace veldra
