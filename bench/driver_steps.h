// The driver's own work in ProcessCheck, without the host interface and the
// network: the same driver functions the add-in runs, linked in directly.
#pragma once

#include <string>

namespace bench {

// The package parameter as the host passes it (8-bit, system code page) to
// the package text the driver reads (UTF-8).
std::string PackageFromHost(const std::string& HostText);

// The package text to the request body the driver posts.
std::string RequestFromPackage(std::string PackageText);

// The answer body and its Content-Type to the receipt outputs as the host
// gets them (number, shift, and the two texts in the 8-bit code page).
// Returns the receipt number.
int OutputsFromAnswer(const std::string& Body, const std::string& ContentType);

}  // namespace bench
