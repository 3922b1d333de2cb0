// Warnings: input the host can work around (a saved lawn's vector field that has gone) is reported
// on standard error and the command goes on, unless the user asked for strictness.
#pragma once
#include <string>

// Prints "gramora: warning: MESSAGE" on standard error; in strict mode throws InputError(MESSAGE)
// instead, so a pipeline can refuse what a person at a terminal may accept.
void Warn(const std::string& message);

// Turns every later warning into an error (`--strict`).
void SetStrictWarnings(bool strict);

// Names the part of the scene the host is about to work on (a node being built or evaluated), and
// from then on shows a plug-in's warnings at once, named after it, before the work they warn about.
void SetPluginLogContext(const std::string& where);

// Shows what the plug-ins logged since the last call (see sdk/log.h) and was not shown yet:
// warnings through Warn, and the first error thrown as InputError "WHERE: MESSAGE".
void ReportPluginLog(const std::string& where);
