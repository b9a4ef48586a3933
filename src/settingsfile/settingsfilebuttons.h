#pragma once

#include <QString>

class Form;
class Prompter;
class Session;

// The buttons "Save file" (Command5) and "Load file" (Command4). Both show the
// window's one file dialog, which remembers the name last chosen in it,
// whichever button showed it: the caller keeps that name in dialogFileName.

// Asks for a file name, starting with the name last chosen, and writes the
// window's settings to it. On any failure the old file stays whole and the
// user is told; so is the user when the file cannot hold a field's bytes
// exactly. Changes nothing in the window.
void saveSettingsFile(const Form& form, Prompter& prompter, QString& dialogFileName);

// Asks for a file and loads it into the window: the status box shows the
// file's name and every line applied. A file that cannot be read, or that
// holds no setting line, changes nothing in the window; the user is told why.
void loadSettingsFile(Session& session, QString& dialogFileName);
