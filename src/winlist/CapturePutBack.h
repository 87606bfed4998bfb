#pragma once
// For the program's end, after which a capture's thread would stop halfway.
class CaptureJob;

// Gives the capture up: its thread does nothing more, and what it changed
// in a minimised window is put back while the window does not answer: what
// the system holds at once, the rest queued to the window in the order in
// which it takes it, behind what the capture is still waiting for.
void PutBackWithoutAnswer(CaptureJob& job);
