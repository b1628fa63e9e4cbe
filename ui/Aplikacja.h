#pragma once
// The application object: the top-level error display and the standard
// message dialog, both titled with the application title.
#include <QApplication>
#include <QString>

// The title of standard dialogs, from the program's file name: the name up to
// its first dot, first letter upper case, the rest lower case ("instalator"
// gives "Instalator").
QString TytulAplikacji(const QString& sciezkaProgramu);

// The platform's standard message dialog: no icon, one OK button, the
// application title as its title. Modal.
void KomunikatStandardowy(const QString& tekst);

// Every event is delivered here. An exception raised by a handler stops that
// handler and its text is shown in a message box; the installer keeps running.
class TAplikacja : public QApplication {
    Q_OBJECT
public:
    TAplikacja(int& argc, char** argv);
    bool notify(QObject* odbiorca, QEvent* zdarzenie) override;

    // Shows the text of an error that reached the top (replaceable in tests).
    static void PokazBlad(const QString& tekst);
};
