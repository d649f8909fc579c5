// Numbers travel to the host as printf "%f" text: fixed notation, six decimals.
#pragma once

#include <string>

std::string FixedText(double value);
