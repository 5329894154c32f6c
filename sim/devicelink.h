#pragma once
// A symbolic link that gives the simulator's terminal a fixed name, such as a
// COMn entry in the program's folder.
#include <string>

namespace sim {

// Makes path a symbolic link to target, replacing a symbolic link already
// there (a simulator that died leaves one behind). Any other file at path is
// left alone and refused, and so is a link to a pseudo-terminal that another
// running simulator (a process of this one's name) serves, where that can be
// told (Linux: /proc); false with the reason. A terminal number that a killed
// simulator left and another program has since taken is not refused.
bool createDeviceLink(const std::string& path, const std::string& target, std::string& error);

// Removes path while it still points at target: a later simulator may have
// taken the name over.
void removeDeviceLink(const std::string& path, const std::string& target);

} // namespace sim
