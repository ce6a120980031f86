// What a start does before the toolkit is up: the picture it will show first, told from the
// arguments alone, is decoded from the first moment on (see FruehDekodierung), while the toolkit,
// the settings and the windows get ready. Only where the toolkit will use an X server, whose screen
// size can be asked for at once.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class EarlyScreen;
class FruehDekodierung;

class Vorstart {
public:
    // plattform: the platform the program chose for the toolkit ("" for its default);
    // argumente: the program's arguments, as given.
    Vorstart(const QString& plattform, const QStringList& argumente);
    ~Vorstart();

    bool begonnen() const { return m_dekodierung != nullptr; }
    // The application object is made: the decode may paint, the screen query's connection goes.
    void ToolkitBereit();
    // The decode begun, for the start-up to take (empty when none was begun).
    std::shared_ptr<FruehDekodierung> Dekodierung() { return std::move(m_dekodierung); }

private:
    std::unique_ptr<EarlyScreen> m_schirm;
    std::shared_ptr<FruehDekodierung> m_dekodierung;
};
