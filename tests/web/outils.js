// What the page's tests and measures share: a static file server for the page's
// folder, the browser, and the game's page opened with its clock in the test's hands.
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const projet = path.resolve(__dirname, '../..');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.json': 'application/json', '.webmanifest': 'application/manifest+json',
                '.png': 'image/png' };

const attendre = ms => new Promise(ok => setTimeout(ok, ms));

// Serves serveur.site, which a test may change, as any static server would; with
// serveur.avant, a function run first in every HTML page it serves.
async function Serveur(site) {
  const serveur = http.createServer((req, res) => {
    const url = decodeURIComponent(req.url.split('?')[0]);
    const fichier = path.join(serveur.site, url === '/' ? 'index.html' : path.normalize(url));
    fs.readFile(fichier, (erreur, contenu) => {
      if (erreur || !fichier.startsWith(serveur.site)) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { 'Content-Type': types[path.extname(fichier)] || 'application/octet-stream' });
      if (serveur.avant && fichier.endsWith('.html'))
        contenu = String(contenu).replace('<head>', `<head><script>(${serveur.avant})();</script>`);
      res.end(contenu);
    });
  });
  serveur.site = site;
  await new Promise(ok => serveur.listen(0, '127.0.0.1', ok));
  serveur.adresse = `http://127.0.0.1:${serveur.address().port}/`;
  return serveur;
}

// A PulseAudio of its own with a silent output (gavremo, heard on gavremo.monitor), in
// a folder of its own, stopped by arreter() or at the end: headless Firefox, unlike
// Chromium, has no output of its own, and its audio context never runs without one.
async function Pulse() {
  const dossier = fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-pulse-'));
  const prise = path.join(dossier, 'prise');
  // The sink before the socket: the first client finds it there.
  const pulse = spawn('pulseaudio', ['-n', '--daemonize=no', '--exit-idle-time=-1', '--use-pid-file=no',
                                     '--load=module-null-sink sink_name=gavremo rate=48000',
                                     `--load=module-native-protocol-unix socket=${prise} auth-anonymous=1`],
                      { env: { ...process.env, HOME: dossier }, stdio: 'ignore' });
  const arreter = () => { pulse.kill(); fs.rmSync(dossier, { recursive: true, force: true }); };
  process.once('exit', arreter);
  for (let i = 0; !fs.existsSync(prise); i++) {
    if (pulse.exitCode !== null || i === 200) {
      arreter();
      throw new Error('PulseAudio did not start');
    }
    await attendre(50);
  }
  return { serveur: `unix:${prise}`, arreter };
}

// Chromium through the DevTools protocol, with GAVREMO_NAVIGATEUR=firefox Debian's
// Firefox ESR through WebDriver BiDi, both by puppeteer, which makes a fresh profile
// for either and removes it; with GAVREMO_NAVIGATEUR=webkit, WebKitGTK (WebKit below).
const NAVIGATEUR = process.env.GAVREMO_NAVIGATEUR || 'chromium';
const FIREFOX = NAVIGATEUR === 'firefox', WEBKIT = NAVIGATEUR === 'webkit';
// Options for puppeteer; Chromium's args come after its own.
async function Navigateur({ args = [], ...options } = {}) {
  if (WEBKIT)
    return WebKit(options.defaultViewport);
  if (FIREFOX) {
    const pulse = await Pulse();
    const navigateur = await puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
      env: { ...process.env, PULSE_SERVER: pulse.serveur },
      // No worker: the phone's tests, Chromium's, are those of the worker.
      extraPrefsFirefox: { 'dom.serviceWorkers.enabled': false }, ...options,
    }).catch(e => { pulse.arreter(); throw e; });
    navigateur.once('disconnected', pulse.arreter);
    return navigateur;
  }
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--disable-dev-shm-usage', ...args],
    ...options,
  });
}

// WebKitGTK's MiniBrowser, which puppeteer does not drive, through WebKitWebDriver
// by WebdriverIO in WebDriver classic, behind the few calls of puppeteer's that the
// page's tests make. Each page is a browser of its own, so no worker outlives its test.
// It needs a display (DISPLAY), and plays to a PulseAudio of its own as Firefox does.
// Its scripts, unlike puppeteer's, run with no user activation.
async function WebKit({ width, height } = { width: 900, height: 1000 }) {
  const { remote, Key } = require('webdriverio');
  const pulse = await Pulse();
  const port = await new Promise(ok => {
    const s = http.createServer().listen(0, '127.0.0.1', () => { const p = s.address().port; s.close(() => ok(p)); });
  });
  const pilote = spawn('WebKitWebDriver', [`--port=${port}`],
                       { env: { ...process.env, PULSE_SERVER: pulse.serveur }, stdio: 'ignore' });
  process.once('exit', () => pilote.kill());
  const pret = () => fetch(`http://127.0.0.1:${port}/status`).then(r => r.json()).then(r => r.value.ready).catch(() => false);
  for (let i = 0; !await pret(); i++) {
    if (i === 100) {
      pilote.kill();
      pulse.arreter();
      throw new Error('WebKitWebDriver did not start');
    }
    await attendre(50);
  }
  const minibrowser = execFileSync('dpkg', ['-L', 'libwebkit2gtk-4.1-0'], { encoding: 'utf8' })
    .split('\n').find(f => f.endsWith('/MiniBrowser'));
  return {
    async newPage() {
      // WebDriver classic, whose scripts grant no user activation, where BiDi's may be
      // asked to.
      const session = await remote({
        hostname: '127.0.0.1', port, path: '/', logLevel: 'error',
        capabilities: { 'wdio:enforceWebDriverClassic': true,
                        'webkitgtk:browserOptions': { binary: minibrowser, args: ['--automation'] } },
      });
      if (session.isBidi)
        throw new Error('WebKit driven through WebDriver BiDi');
      await session.setWindowRect(0, 0, width, height);
      // On the CSS pixel (x, y), which a pointer's integer position takes whole, in one
      // step, as puppeteer's mouse moves.
      const vers = (x, y) => session.action('pointer').move({ x: Math.floor(x), y: Math.floor(y), duration: 0 });
      return {
        goto: url => session.url(url),
        evaluate: (f, ...args) => session.execute(f, ...args),
        mouse: {
          move: (x, y) => vers(x, y).perform(),
          click: (x, y) => vers(x, y).down({ button: 0 }).up({ button: 0 }).perform(),
        },
        // puppeteer's key names: a character, 'KeyA' for a letter, 'Digit1' for a figure,
        // or one that WebdriverIO names alike ('Enter', 'Escape', 'ArrowLeft'...).
        keyboard: { press: touche => session.keys(Key[touche] || touche.replace(/^Key([A-Z])$/, (_, l) => l.toLowerCase())
                                                                      .replace(/^Digit(\d)$/, '$1')) },
        on() {},   // WebDriver classic tells no page errors
        close: () => session.deleteSession(),
      };
    },
    close() {
      pilote.kill();
      pulse.arreter();
    },
  };
}

// What f(...args) gives in the page, read with no user activation: puppeteer's evaluate,
// $, $eval and waitForFunction run as if the user had clicked, and a page so read may
// start its sound. Firefox's through puppeteer's own realm, whose evaluate lets the
// activation be chosen. JSON values only.
const sessions = new WeakMap();
async function Lire(page, f, ...args) {
  if (WEBKIT)
    return page.evaluate(f, ...args);
  const expression = `(async () => JSON.stringify(await (${f})(...${JSON.stringify(args)})))()`;
  let r;
  if (FIREFOX) {
    r = await page.mainFrame().mainRealm().realm.evaluate(expression, true,
                                                          { userActivation: false, resultOwnership: 'none' });
    if (r.type === 'exception')
      throw new Error(r.exceptionDetails.text);
  } else {
    if (!sessions.has(page))
      sessions.set(page, await page.createCDPSession());
    r = await sessions.get(page).send('Runtime.evaluate',
                                      { expression, awaitPromise: true, returnByValue: true, userGesture: false });
    if (r.exceptionDetails)
      throw new Error(r.exceptionDetails.exception?.description || r.exceptionDetails.text);
  }
  return r.result.value === undefined ? undefined : JSON.parse(r.result.value);
}

// Waits, reading as Lire does, for f(...args) to be true, and gives it.
async function Attendre(page, f, { timeout = 30000 } = {}, ...args) {
  for (const fin = Date.now() + timeout; ; await attendre(20)) {
    const v = await Lire(page, f, ...args);
    if (v)
      return v;
    if (Date.now() > fin)
      throw new Error(`waited ${timeout} ms for ${f}`);
  }
}

// The page's build, or the one a test or a benchmark is given.
const PAGE = process.env.GAVREMO_PAGE || path.join(projet, 'build-web/page');

// The benchmarks' middle figure.
function Mediane(v) {
  const t = [...v].sort((a, b) => a - b), m = t.length >> 1;
  return t.length % 2 ? t[m] : (t[m - 1] + t[m]) / 2;
}
let serveur, navigateur;

// One server and one browser for a file of tests.
async function Ouvrir(options = {}) {
  serveur = await Serveur(PAGE);
  navigateur = await Navigateur({ defaultViewport: { width: 900, height: 1000 }, ...options });
  return { serveur, navigateur };
}

async function Fermer() {
  await navigateur?.close();
  serveur?.close();
}

// The page's clock stands still until the test moves it (avancer), so the game's
// repaints, target timer and random places follow the test rather than the machine.
function Horloge() {
  let t = Date.UTC(2026, 0, 1);
  Date.now = () => t;
  window.avancer = ms => { t += ms; };
  // A string in the game's memory, for the calls the tests make into it.
  window.Chaine = texte => {
    const n = texte.length * 3 + 1, p = Module._malloc(n);
    Module.stringToUTF8(texte, p, n);
    return p;
  };
  // Every sound the page starts or cuts short, and those heard to their end (or cut)
  // by a running audio context. The game never learns that a sound ended, so a shot
  // holds its channel until the game cuts it.
  window.sons = { joues: 0, coupes: 0, finis: 0 };
  Object.defineProperty(AudioScheduledSourceNode.prototype, 'onended', { set() {}, get() { return null; } });
  const start = AudioBufferSourceNode.prototype.start, stop = AudioBufferSourceNode.prototype.stop;
  AudioBufferSourceNode.prototype.start = function (...a) {
    sons.joues++;
    this.addEventListener('ended', () => sons.finis++);
    return start.apply(this, a);
  };
  AudioBufferSourceNode.prototype.stop = function (...a) { sons.coupes++; return stop.apply(this, a); };
}

// Opens the page of the folder given for one test, and closes it after, passed or
// not: a page left open behind the next one would have its timers slowed. avant(page)
// runs before the page loads (a phone's screen, say). The page's worker, which would
// serve one build's files for every folder of the same address, is bypassed unless
// the test serves its own folder on a server of its own (ici). The page has no user
// activation until the test clicks, taps or types.
async function Avec(essai, { dossier = PAGE, avant, ici } = {}) {
  serveur.site = dossier;
  // The server runs it first in the page, as WebDriver classic has no way to.
  (ici || serveur).avant = Horloge;
  const page = await navigateur.newPage();
  try {
    if (!ici && NAVIGATEUR === 'chromium')
      await page.setBypassServiceWorker(true);
    if (avant)
      await avant(page);
    page.on('pageerror', e => console.log('page error:', e.message));
    await page.goto((ici || serveur).adresse);
    // Its first frame, or its one line on a file it refuses: SDL listens to the page
    // from its first frame on, and a pointer moved before it would be lost.
    await Attendre(page, () => Module.calledRun &&
                     (Module._Passes() > 0 || document.getElementById('sortie').textContent !== ''),
                   { timeout: 60000 });
    await essai(page);
  } finally {
    await page.close();
  }
}

// Lets the game run enough passes to take every pending event (one a pass), then
// moves its clock and lets it run again, so a periodic repaint shows them.
async function Passes(page, ms = 60) {
  for (const pas of [0, ms]) {
    const n = await Lire(page, pas => { avancer(pas); return Module._Passes(); }, pas);
    await Attendre(page, n => Module._Passes() > n + 10, { timeout: 30000 }, n);
  }
}

// Where the game's pixel (x, y) is on the page, however the page scales the canvas.
async function Point(page, x, y) {
  return Lire(page, (x, y) => {
    const c = document.getElementById('canvas'), b = c.getBoundingClientRect();
    return [b.left + (x + 0.5) * b.width / c.width, b.top + (y + 0.5) * b.height / c.height];
  }, x, y);
}

// Pointer moves and clicks on the game's pixel (x, y).
async function Souris(page, x, y, cliquer) {
  const [px, py] = await Point(page, x, y);
  if (cliquer)
    await page.mouse.click(px, py);
  else
    await page.mouse.move(px, py);
}

// Lire sends them as one string: WebDriver BiDi sends an array value by value, which
// made reading a line in Firefox several times slower than in Chromium.
function Pixels(page, x, y, w, h) {
  return Lire(page, (x, y, w, h) => Array.from(
    document.getElementById('canvas').getContext('2d').getImageData(x, y, w, h).data), x, y, w, h);
}

// First and last column, then row, with red ink over the rows [y, y + h).
async function Encre(page, y, h) {
  const p = await Pixels(page, 0, y, 600, h);
  const e = [600, -1, h, -1];
  for (let i = 0; i < p.length; i += 4)
    if (p[i] > 200 && p[i + 1] < 60 && p[i + 2] < 60) {
      const x = (i / 4) % 600, l = Math.floor(i / 4 / 600);
      e[0] = Math.min(e[0], x); e[1] = Math.max(e[1], x); e[2] = Math.min(e[2], l); e[3] = Math.max(e[3], l);
    }
  return e;
}

// Whether the page shows the game-over picture, dark red in the middle of a black screen.
function FinDePartie() {
  const p = document.getElementById('canvas').getContext('2d').getImageData(110, 300, 1, 1).data;
  return p[0] > 30 && p[0] < 80 && p[1] < 20;
}

// Waits for it.
function Perdu(page) {
  return Attendre(page, FinDePartie, { timeout: 10000 });
}

function Sortie(page) {
  return Lire(page, () => document.getElementById('sortie').textContent);
}

module.exports = { projet, PAGE, Mediane, attendre, NAVIGATEUR, Serveur, Pulse, Navigateur, Lire, Attendre, Ouvrir, Fermer, Avec, Passes,
                   Point, Souris, Pixels, Encre, FinDePartie, Perdu, Sortie };
