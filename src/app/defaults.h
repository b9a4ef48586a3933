#pragma once

class Form;

// "Default": a complete default configuration, ready to be written at once.
void fillDefaults(Form& form);
