// An option button or check box whose caption wraps onto further lines when the control is high
// enough for them, as long captions do in the settings window; the toolkit's own buttons keep
// their caption on one line and cut it off at the control's edge.
#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <type_traits>

template <class Knopf>
class Umbruchknopf : public Knopf {
public:
    explicit Umbruchknopf(QWidget* parent)
        : Knopf(parent)
    {
        QSizePolicy politik = this->sizePolicy();
        politik.setHeightForWidth(true);
        this->setSizePolicy(politik);
    }

    // The height the caption needs at a given width, as the control draws it.
    int heightForWidth(int breite) const override
    {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        option.rect = QRect(0, 0, breite, 1000000);
        const QRect inhalt = this->style()->subElementRect(kInhalt, &option, this);
        const QRect text = this->fontMetrics().boundingRect(inhalt, kTextart, option.text);
        return std::max(text.height(), this->style()->pixelMetric(kIndikatorHoehe, &option, this));
    }
    bool hasHeightForWidth() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter maler(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        const QString text = option.text;
        option.text.clear();
        maler.drawControl(kSteuerelement, option);
        option.text = text;
        const QRect inhalt = this->style()->subElementRect(kInhalt, &option, this);
        this->style()->drawItemText(&maler, inhalt, kTextart, this->palette(), this->isEnabled(), text, QPalette::WindowText);
    }
    // The whole control takes the click, also beside a short last line.
    bool hitButton(const QPoint& punkt) const override { return this->rect().contains(punkt); }

private:
    static constexpr bool kOption = std::is_base_of_v<QRadioButton, Knopf>;
    static constexpr QStyle::ControlElement kSteuerelement = kOption ? QStyle::CE_RadioButton : QStyle::CE_CheckBox;
    static constexpr QStyle::SubElement kInhalt = kOption ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
    static constexpr QStyle::PixelMetric kIndikatorHoehe =
        kOption ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight;
    static constexpr int kTextart = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
};

using UmbruchOption = Umbruchknopf<QRadioButton>;
using UmbruchKaestchen = Umbruchknopf<QCheckBox>;
