// The picture list window: the working list (the current position of the whole program is its
// selected entry; the list itself is the program's), the action button and the EXIF/IPTC views.
// Closing it only hides it; every key hides it and acts in the main window, except Return, which
// shows the selected picture.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include <array>

class Programm;
class BildListenFeld;
struct Listenfensterstand;
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

    // What the window shows of the picture on screen (see Listenfenster).
    void StandUebernehmen(const Listenfensterstand& stand);
    void BildGezeigt(const QString& titel);
    void AnsichtenAus();

    // Layout for an inner size in twips; the controls' rectangles are kept in twips.
    void Form_Resize(double innenBreite, double innenHoehe);
    struct Twips {
        double Left, Top, Width, Height;
    };
    Twips Geometrie(const QWidget* control) const;

    void ListBoxNeu_Click();
    void ListBoxNeu_DblClick();
    void chkExifAnzeigen_Click();
    void chkIptcAnzeigen_Click();
    void btnAktionAusfuehren_Click();

    // --- file actions -----------------------------------------------------------------------------
    // Carries out the action of the action menu's item number; 0 and unknown numbers do nothing.
    void WeiterAnShellExecute(int routine_to_do);
    // The fixed English text of a shell result code.
    static QString GetShellError(int lErrorCode);
    // The extension named in the open-failure message: 3, 4 or 5 characters after a dot found at
    // those distances from the end (the farthest wins), "" when there is none.
    static QString ErweiterungFuerMeldung(const QString& eintrag);
    // One row of the action menu: item number, caption entry, action.
    struct Aktion {
        int Nummer;
        int Text;
        void (ListBoxForm::*Ausfuehren)();
    };
    static const std::array<Aktion, 6> kAktionen;
    // The link of a new e-mail: a placeholder address the user replaces.
    static const QString kMailLink;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Form_Load();
    void setzen(QWidget* control, double left, double top, double width, double height);
    // Sets one length of a control; a negative length fails and leaves the control as it was.
    void setzeBreite(QWidget* control, double width);
    void setzeHoehe(QWidget* control, double height);
    void setzeLinks(QWidget* control, double left);
    void anwenden(QWidget* control);
    Programm& m_programm;
    QHash<const QWidget*, Twips> m_twips;

    void Oeffnen();
    void Drucken();
    void NeueEmail();
    void ImDateimanagerZeigen();
    void PapierkorbAktion();
    void KopierAktion();
};

