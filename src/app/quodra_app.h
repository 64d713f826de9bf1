// The application object and the viewer's entry point.
#pragma once

// Starts the toolkit and runs the viewer; returns the process exit status.
int RunViewer(int argc, char** argv);
