#pragma once

class SerialHost;
class SplashWindow;

// Starts the program: the splash grows out of the screen's centre and waits five seconds
// or a click; then the hidden serial host loads and shows the settings dialog. Returns
// the splash, which deletes itself when it has closed.
SplashWindow *startUp(SerialHost &host);
