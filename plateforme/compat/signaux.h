#pragma once
// SIGTERM and SIGINT held back from SDL's handler, before SDL starts...
void RetenirSignaux();
// ...and queued as a quit by a thread of ours, once the window is open.
void EcouterSignaux();
