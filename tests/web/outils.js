// What the page's tests and measures share: a static file server for the page's
// folder, the browser, and the game's page opened with its clock in the test's hands.
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const racine = path.resolve(__dirname, '../..');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.json': 'application/json', '.webmanifest': 'application/manifest+json',
                '.png': 'image/png' };

// Serves serveur.site, which a test may change, as any static server would.
async function Serveur(site) {
  const serveur = http.createServer((req, res) => {
    const url = decodeURIComponent(req.url.split('?')[0]);
    const fichier = path.join(serveur.site, url === '/' ? 'index.html' : path.normalize(url));
    fs.readFile(fichier, (erreur, contenu) => {
      if (erreur || !fichier.startsWith(serveur.site)) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { 'Content-Type': types[path.extname(fichier)] || 'application/octet-stream' });
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
    await new Promise(ok => setTimeout(ok, 50));
  }
  return { serveur: `unix:${prise}`, arreter };
}

// Chromium through the DevTools protocol, or with GAVREMO_NAVIGATEUR=firefox Debian's
// Firefox ESR through WebDriver BiDi; puppeteer makes a fresh profile for either, and
// removes it.
const FIREFOX = process.env.GAVREMO_NAVIGATEUR === 'firefox';
// Options for puppeteer; Chromium's args come after its own.
async function Navigateur({ args = [], ...options } = {}) {
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

const PAGE = process.env.GAVREMO_PAGE || path.join(racine, 'build-web/page');
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
  // Every sound the page starts or cuts short. Sounds here never tell they ended,
  // so a shot holds its channel until the game cuts it.
  window.sons = { joues: 0, coupes: 0 };
  Object.defineProperty(AudioScheduledSourceNode.prototype, 'onended', { set() {}, get() { return null; } });
  const start = AudioBufferSourceNode.prototype.start, stop = AudioBufferSourceNode.prototype.stop;
  AudioBufferSourceNode.prototype.start = function (...a) { sons.joues++; return start.apply(this, a); };
  AudioBufferSourceNode.prototype.stop = function (...a) { sons.coupes++; return stop.apply(this, a); };
}

// Opens the page of the folder given for one test, and closes it after, passed or
// not: a page left open behind the next one would have its timers slowed. avant(page)
// runs before the page loads (a phone's screen, say). The page's worker, which would
// serve one build's files for every folder of the same address, is bypassed unless
// the test serves its own folder on a server of its own (ici).
async function Avec(essai, { dossier = PAGE, avant, ici } = {}) {
  serveur.site = dossier;
  const page = await navigateur.newPage();
  try {
    await page.evaluateOnNewDocument(Horloge);
    if (!ici && !FIREFOX)
      await page.setBypassServiceWorker(true);
    if (avant)
      await avant(page);
    page.on('pageerror', e => console.log('page error:', e.message));
    await page.goto((ici || serveur).adresse);
    await page.waitForFunction(() => Module.calledRun, { timeout: 60000 });
    await essai(page);
  } finally {
    await page.close();
  }
}

// Lets the game run enough passes to take every pending event (one a pass), then
// moves its clock and lets it run again, so a periodic repaint shows them.
async function Passes(page, ms = 60) {
  for (const pas of [0, ms]) {
    const n = await page.evaluate(pas => { avancer(pas); return Module._Passes(); }, pas);
    await page.waitForFunction(n => Module._Passes() > n + 10, { timeout: 30000 }, n);
  }
}

// Where the game's pixel (x, y) is on the page, however the page scales the canvas.
async function Point(page, x, y) {
  return page.$eval('canvas', (c, x, y) => {
    const b = c.getBoundingClientRect();
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

// The pixels as one string: WebDriver BiDi sends an array value by value, which made
// reading a line in Firefox several times slower than in Chromium.
async function Pixels(page, x, y, w, h) {
  return JSON.parse(await page.evaluate((x, y, w, h) => JSON.stringify(Array.from(
    document.getElementById('canvas').getContext('2d').getImageData(x, y, w, h).data)), x, y, w, h));
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
  return page.waitForFunction(FinDePartie, { timeout: 10000 });
}

function Sortie(page) {
  return page.$eval('#sortie', e => e.textContent);
}

module.exports = { racine, Serveur, Pulse, Navigateur, Ouvrir, Fermer, Avec, Passes, Point, Souris, Pixels,
                   Encre, FinDePartie, Perdu, Sortie };
