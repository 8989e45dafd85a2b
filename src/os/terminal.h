#pragma once
// Whether the program's standard streams reach a terminal (a console on Windows).
namespace kesp {

enum class StandardStream { Out, Err };

bool isTerminal(StandardStream stream);

} // namespace kesp
