// The click event of an option button: it comes whenever the button becomes the chosen one,
// however it was chosen (mouse, arrow keys in its group, Space, the accessibility interface that
// screen readers and automation tools use, or the program), and on a click on the button that is
// already chosen.
#pragma once

#include <functional>

class QRadioButton;

namespace Optionsknopf {

// Runs klick once for each such event; the connection ends with the button.
void BeiKlick(QRadioButton& knopf, std::function<void()> klick);

}  // namespace Optionsknopf
