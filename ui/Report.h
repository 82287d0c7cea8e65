// The register list, as shown, written to Report.txt.
#pragma once

void WriteReport();
