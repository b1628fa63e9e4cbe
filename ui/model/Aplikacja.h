#pragma once
// The application object: the backend the forms run on, the application
// title, and the top-level error display through which every handler the
// user's actions start is run.
#include <functional>
#include <string>

#include "Zaplecze.h"

class TForm;

// The title of standard dialogs, from the program's file name: the name up to
// its first dot, first letter upper case, the rest lower case ("instalator"
// gives "Instalator"). Either path separator may precede the name.
std::u16string TytulAplikacji(const std::u16string& sciezkaProgramu);

class TAplikacja {
public:
    // Becomes the process's Application until it is destroyed.
    TAplikacja(IZaplecze& zaplecze, std::u16string tytul);
    ~TAplikacja();
    TAplikacja(const TAplikacja&) = delete;
    TAplikacja& operator=(const TAplikacja&) = delete;

    IZaplecze& Zaplecze() const { return zaplecze_; }
    const std::u16string& Title() const { return tytul_; }

    // The first form marked as the main one; its view owns the dialogs.
    TForm* MainForm = nullptr;

    // Handles pending window messages once.
    void ProcessMessages() { zaplecze_.Pompuj(); }
    // Runs the message loop until the main window closes.
    int Run() { return zaplecze_.PetlaGlowna(); }
    void Terminate() { zaplecze_.Zakoncz(); }

    // Runs a handler. An error it raises stops it there and its text is shown
    // in a message box titled with the application title ("Nieoczekiwany
    // błąd." for an error without a text); the installer keeps running.
    void Obsluz(const std::function<void()>& obsluga);
    void PokazBlad(const std::u16string& tekst);

private:
    IZaplecze& zaplecze_;
    std::u16string tytul_;
    TAplikacja* poprzednia_;
};

// The running application; null when none exists.
extern TAplikacja* Application;
