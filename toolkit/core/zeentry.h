// The toolkit owns the process entry: main() prepares the toolkit and calls
// the application's zemain() once.
#pragma once

// Defined by the application.
void zemain(void);
