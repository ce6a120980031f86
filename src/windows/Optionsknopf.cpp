#include "windows/Optionsknopf.h"

#include <QRadioButton>

#include <memory>
#include <utility>

namespace Optionsknopf {

void BeiKlick(QRadioButton& knopf, std::function<void()> klick)
{
    // Becoming chosen is the event. A click only counts when the button was chosen before it was
    // pressed (a click that chooses it has already counted); every click, by mouse, key or
    // program, begins with a press.
    auto warGewaehlt = std::make_shared<bool>(false);
    QObject::connect(&knopf, &QAbstractButton::pressed, &knopf, [&knopf, warGewaehlt] { *warGewaehlt = knopf.isChecked(); });
    QObject::connect(&knopf, &QAbstractButton::toggled, &knopf, [klick](bool gewaehlt) {
        if (gewaehlt)
            klick();
    });
    QObject::connect(&knopf, &QAbstractButton::clicked, &knopf, [klick, warGewaehlt] {
        if (std::exchange(*warGewaehlt, false))
            klick();
    });
}

}  // namespace Optionsknopf
