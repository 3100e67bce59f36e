// The main thread's longest tasks through a whole game, from the page's first byte to
// "Exited cleanly", beside the bare Emscripten SDL page's from its first byte through
// as many taps: each in Debian's Chromium as Lighthouse's phone (412 x 823, touch, the
// CPU slowed 4 times and its slow 4G link, here applied by the DevTools protocol as
// Lighthouse's own DevTools throttling applies them, rather than simulated), served as
// scripts/web.sh --serve serves it, traced by the DevTools protocol.
//   node taches.js [RUNS]   RUNS of each, alternated (3 by default)
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { Mediane, attendre, Navigateur, Lire, Attendre, Point, FinDePartie } = require('./outils');
const { EnAlternance } = require('./phare');

const CIBLE = [160, 160];   // the first target's middle, until its timer moves it
const RATE = [300, 60];     // no target ever reaches y < 128: a sure miss
const DITES = 6;            // the longest tasks of a run whose work is named

// What a task did, from the first event under it that says.
function Quoi(evenements, tache) {
  for (const e of evenements) {
    if (e.ts < tache.ts || e.ts >= tache.ts + tache.dur || e === tache)
      continue;
    const d = e.args?.data || {};
    const qui = (d.url || '').split('/').pop();
    if (e.name === 'EvaluateScript' || e.name === 'FunctionCall' || e.name === 'TimerFire' ||
        e.name === 'EventDispatch' || e.name === 'ParseHTML' || e.name === 'Layout' ||
        e.name === 'FireAnimationFrame' || e.name.startsWith('v8.wasm') || e.name === 'MajorGC')
      return [e.name, d.type, d.functionName, qui].filter(Boolean).join(' ');
  }
  return 'the browser';
}

// The tasks on the main thread of the page at url, longest first, what the DITES
// longest did: under the link the longest is often below a "long task"'s 50 ms, and is
// still compared.
function Taches(fichier, url) {
  const ev = JSON.parse(fs.readFileSync(fichier, 'utf8')).traceEvents;
  const fil = ev.find(e => e.name === 'ParseHTML' && e.args?.beginData?.url === url);
  const siens = ev.filter(e => e.pid === fil.pid && e.tid === fil.tid && e.ph === 'X');
  // From the task that parses the page: the one before belongs to about:blank.
  return siens.filter(e => e.name === 'RunTask' && e.ts + e.dur >= fil.ts)
    .sort((a, b) => b.dur - a.dur)
    .map((t, i) => ({ ms: t.dur / 1000, quoi: i < DITES ? Quoi(siens, t) : '' }));
}

// One load and game of url, traced: its longest tasks.
async function Partie(url, jeu) {
  const navigateur = await Navigateur();
  const fichier = path.join(os.tmpdir(), `gavremo-taches-${process.pid}.json`);
  try {
    const page = await navigateur.newPage();
    // Lighthouse's own phone, from its settings: its screen, its CPU and its slow 4G link
    // as its DevTools throttling sends them (throughputs in kbit/s there, bytes/s here).
    const { screenEmulationMetrics: { mobile: ecran }, throttling: { mobileSlow4G: lien } } =
      await import('lighthouse/core/config/constants.js');
    await page.setViewport({ width: ecran.width, height: ecran.height, isMobile: true, hasTouch: true,
                             deviceScaleFactor: ecran.deviceScaleFactor });
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: lien.cpuSlowdownMultiplier });
    await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: lien.requestLatencyMs,
      downloadThroughput: lien.downloadThroughputKbps * 1024 / 8, uploadThroughput: lien.uploadThroughputKbps * 1024 / 8 });
    await page.tracing.start({ path: fichier, categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'v8.execute'] });
    await page.goto(url);
    const Taper = async ([x, y]) => page.touchscreen.tap(...await Point(page, x, y));
    if (jeu) {
      await Attendre(page, () => window.Module?.calledRun && Module._Passes() > 0, { timeout: 60000 });
      await attendre(1000);
      await Taper(CIBLE);                                    // a hit
      await attendre(500);
      await page.touchscreen.tap(...await Lire(page, () => {  // the space bar: flash mode
        const b = document.getElementById('espace').getBoundingClientRect();
        return [b.left + b.width / 2, b.top + b.height / 2];
      }));
      await attendre(500);
      while (!await Lire(page, FinDePartie)) {               // misses, down to the game-over screen
        await Taper(RATE);
        await attendre(200);
      }
      await attendre(500);
      await Taper(RATE);                                     // the key that leaves
      await Attendre(page, () => /Exited cleanly/.test(document.getElementById('sortie').textContent));
    } else {
      await Attendre(page, () => document.readyState === 'complete');
      await attendre(1000);
      for (let i = 0; i < 4; i++) {
        await Taper(CIBLE);
        await attendre(500);
      }
    }
    await page.tracing.stop();
    return Taches(fichier, url);
  } finally {
    fs.rmSync(fichier, { force: true });
    await navigateur.close();
  }
}

async function main() {
  const fois = +(process.argv[2] || 3);
  const longues = { page: [], nue: [] };
  await EnAlternance(fois, async (nom, adresse, i) => {
    const t = await Partie(adresse, nom === 'page');
    longues[nom].push(t[0].ms);
    console.log(`${nom} run ${i + 1}: ${t.filter(x => x.ms > 50).length} tasks over 50 ms; longest ` +
                t.slice(0, DITES).map(x => `${Math.round(x.ms)} ms ${x.quoi}`).join(', '));
  });
  const [a, b] = [Mediane(longues.page), Mediane(longues.nue)];
  console.log(`== longest task, medians of ${fois} runs: page ${Math.round(a)} ms, bare page ${Math.round(b)} ms, ` +
              `ratio ${(a / b).toFixed(2)}; load now ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`);
}

main().catch(e => { console.error(e); process.exit(1); });
