// Form2, the introduction window: the program's name in letters whose colours
// keep changing, the motto, a writer animation, the credit and the
// "CONTINUAR" button that opens the main window. The main window's start-up
// closes this window; on an account a class shares, the pupil is then asked
// who is typing (app/whoareyou.h).
#pragma once

#include "app/titlecolors.h"
#include "exercise/services.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace letro {

class Velantro;

class Form2 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int LetterIndex READ letterIndex)
    Q_PROPERTY(int LetterColor READ letterColor)

public:
    explicit Form2(const Services &services = Services(), QWidget *parent = nullptr);

    int letterIndex() const { return m_cycle.letterIndex; }
    int letterColor() const { return m_cycle.letterColor; }

public slots:
    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

private:
    void createControls();

    Services m_services;
    TitleCycle m_cycle;

    std::array<QLabel *, 6> Label1{}; // elements 1 to 5
    Velantro *Velantro1 = nullptr;
    QPushButton *Command1 = nullptr;
    std::array<QLabel *, 5> TitleLetter{};
    QWidget *Shape1 = nullptr;
    QTimer *Timer1 = nullptr;
};

} // namespace letro
