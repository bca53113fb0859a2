// The words that name threads in this project's comments. Every function that more than
// one kind of caller can reach says which in its declaration's comment, and shared state
// says beside it how it is handed over. There are three kinds of caller and no locks:
//
//  [audio thread]    the host's processing call;
//  [parameter side]  any host thread that sets parameters or programs, changes the sample
//                    rate or resumes processing; hosts automate from their audio thread
//                    too, so nothing on this side waits;
//  [UI thread]       the thread that owns the editor's window: open, close, idle, the
//                    timer, the controls' gestures and the host's other editor calls;
//  [any thread]      any of these.
//
// Lower layers (the signal processing, the toolkit) use the same words for the threads
// that reach them through the effect and the editor.
#pragma once
