#pragma once
// Ends the event loop in good order on SIGTERM, SIGINT and SIGHUP (a logout, a
// Ctrl+C in the terminal, a closed terminal), so that the window closes as
// through "プログラム終了": the view saves its state and the settings are
// written. The handler only writes a byte to a pipe; the quit itself happens
// on the window thread.
//
//   QApplication qapp(argc, argv);
//   tavik::QuitOnTerminationSignals();
//   ... start-up, which may take a while ...
//   if (tavik::TerminationRequested()) return 0;
//   return qapp.exec();

namespace tavik {

// Installs the handlers (once; later calls do nothing). False when the pipe
// could not be made.
bool QuitOnTerminationSignals();
// A signal came and was taken (during start-up no event loop runs to end).
bool TerminationRequested();

}  // namespace tavik
