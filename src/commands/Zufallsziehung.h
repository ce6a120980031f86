// The draws of the random pick, each from a generator seeded anew from the clock. A draw can be
// taken ahead of its pick, so that the picture it names can be decoded meanwhile; the pick then
// uses that draw, and the sequence of draws stays the same.
#pragma once

#include <functional>
#include <optional>

class Zufallsziehung {
public:
    Zufallsziehung();

    // 0 <= r < 1: the draw taken ahead if there is one, else a fresh one.
    float ziehen();
    // Takes the next draw now (once; a second call gives the same value) and returns it.
    float vorziehen();

    // Where the draws come from (tests give a fixed sequence); the default reseeds from the clock.
    void setQuelle(std::function<float()> quelle);

private:
    std::function<float()> m_quelle;
    std::optional<float> m_vorgezogen;
};
