// Warnings: input the host can work around (a saved lawn's vector field that has gone) is reported
// on standard error and the command goes on, unless the user asked for strictness.
#pragma once
#include <string>

// Prints "gramora: warning: MESSAGE" on standard error; in strict mode throws InputError(MESSAGE)
// instead, so a pipeline can refuse what a person at a terminal may accept.
void Warn(const std::string& message);

// Turns every later warning into an error (`--strict`).
void SetStrictWarnings(bool strict);

// Shows what the plug-ins logged since the last call (see sdk/log.h): warnings through Warn, and
// the first error thrown as InputError "WHERE: MESSAGE".
void ReportPluginLog(const std::string& where);
