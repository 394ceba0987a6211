// The exercise Letro starts on. Without a choice it is exercise 1 of
// "Palabras"; the command line may choose the type and the number
// (letro --tipo "Frase corta" --numero 3), as the editor's "Probar en Letro"
// does for the dictation the teacher has chosen. Either way the exercise is
// loaded quietly, as at every start-up.
#pragma once

#include <QList>
#include <QString>

class QCommandLineParser;

namespace letro {

struct StartChoice
{
    int type = 0;   // 0 "Palabras", 1 "Frase corta", 2 "Frase larga"
    int number = 0; // 0: none chosen, exercise 1 as without a choice
    // The teacher trying a dictation from the editor (--prueba): the attempt
    // is not kept as a pupil's, and nobody is asked who is typing.
    bool trial = false;
};

// Adds --tipo, --numero and --prueba, with their Spanish help, to `parser`.
void addStartOptions(QCommandLineParser &parser);

// The choice held by `parser` once it has parsed the command line. Returns ""
// or, for a type or number Letro does not have, the Spanish reason.
QString readStartChoice(const QCommandLineParser &parser, StartChoice *choice);

// The exercise to start on when `asked` was chosen (0: none) and `present`
// are the exercises in the type's folder: the one asked for when it is
// there; else the nearest one below it, else the nearest above it (a teacher
// who asks for 50 of a folder of 40 starts on 40); else, with none at all,
// the one asked for, shown with nothing loaded. Without a choice it is 1,
// present or not, as at every start-up.
int startingNumber(int asked, const QList<int> &present);

} // namespace letro
