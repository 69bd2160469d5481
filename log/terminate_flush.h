// Buffered records at std::terminate. An exception that escapes main (or any
// other call of std::terminate) ends the process without running static
// destructors, so the process-wide factory never shuts down; its appenders'
// buffers are written here instead.
#pragma once

class LogFactory;

// Makes std::terminate flush the appenders of the factory set below, then
// call the handler that was set before. Installed once, by the first
// buffered target that opens: a handler the program set earlier stays in
// the chain. A handler the program sets later replaces this one unless it
// calls the one it replaced.
void FlushAppendersOnTerminate();

// The factory whose appenders the handler flushes: the process-wide one,
// from its construction until its destruction, which forgets it again.
void SetTerminateFlushFactory(LogFactory* factory);
// Forgets factory when it is the one set; nothing otherwise.
void ForgetTerminateFlushFactory(LogFactory* factory);
