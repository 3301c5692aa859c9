// Archiving a finished fit: the fitter's parameters ("fn_dn_ou.dat") go to the test root's
// "Equation Parameters" folder and its report ("fn_result.dat") to "Equation Fit", each as
// "<serial>.txt". A three-part file gets the two lines that give E10..E12 their fixed values.
// A source that cannot be read ends the archive without a word; a copy is written through a
// temporary file, so an older archive is never left half-written.
#pragma once

#include <string>

namespace meterdesk {

// Returns the number of files archived (0 to 2).
int archive_fit(bool marrick, const std::string &serial, bool four_part);

} // namespace meterdesk
