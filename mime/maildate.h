// Dates of "Date: " header lines (RFC 5322 section 3.3) as the mail list shows and compares them.
#pragma once

#include <string>

namespace vellox {

// Rewrites an RFC 5322 date such as "Tue, 15 Nov 2009 08:12:31 +0800" in place as "2009-11-15 08:12:31".
// The clock time stays as the sender wrote it; the zone is not applied. A value that gives no year from
// 1991 to 2049 stays as it was, and so does a value that is already in the normalised form.
void NormalizeMailDate(std::string& value);

} // namespace vellox
