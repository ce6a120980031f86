// The picture list window: the working list (the current position of the whole program is its
// selected entry), the action button and the EXIF/IPTC views.
#pragma once

#include <QWidget>

class Programm;
class BildListenFeld;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class ListBoxForm : public QWidget {
    Q_OBJECT
public:
    explicit ListBoxForm(Programm& programm);
    ~ListBoxForm() override;

    BildListenFeld* ListBoxNeu = nullptr;
    QPushButton* btnAktionAusfuehren = nullptr;
    QGroupBox* FrameExifIptc = nullptr;
    QCheckBox* chkExifAnzeigen = nullptr;
    QCheckBox* chkIptcAnzeigen = nullptr;
    QPlainTextEdit* txtEXIFInfo = nullptr;
    QListWidget* lstExifIptc = nullptr;

    // Appends the IPTC fields of the selected entry's picture to lstExifIptc.
    void IptcAnzeigen();

private:
    Programm& m_programm;
};
