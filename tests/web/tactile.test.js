// The page on a phone, in Chromium's touch emulation: a 390-pixel screen, taps, and the
// page installed and started with no network.
const { test, before, after } = require('node:test');
const assert = require('node:assert');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { projet, PAGE, Serveur, Lire, Attendre, Ouvrir, Fermer, Avec, Passes, Point, Pixels, Perdu, Sortie } = require('./outils');

let ouvert;
before(async () => { ouvert = await Ouvrir(); });
after(Fermer);

const telephone = (largeur = 390, hauteur = 844) => page => page.setViewport(
  { width: largeur, height: hauteur, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

async function Taper(page, x, y) {
  const [px, py] = await Point(page, x, y);
  await page.touchscreen.tap(px, py);
}

// A tap on the middle of the element named, found as Lire reads.
async function TaperSur(page, selecteur) {
  const [x, y] = await Lire(page, s => {
    const b = document.querySelector(s).getBoundingClientRect();
    return [b.left + b.width / 2, b.top + b.height / 2];
  }, selecteur);
  await page.touchscreen.tap(x, y);
}

// The canvas as laid out, and whether the page scrolls sideways.
const Cadre = page => Lire(page, () => {
  const c = document.getElementById('canvas'), b = c.getBoundingClientRect();
  return { l: b.width, h: b.height, pixels: c.width, large: document.documentElement.scrollWidth > innerWidth,
           bouton: document.getElementById('espace').checkVisibility() };
});

test('the game fits a phone, and stays 600 pixels on a desktop', async () => {
  await Avec(async page => {
    const c = await Cadre(page);
    assert.ok(c.l >= 300 && c.l <= 390 && c.l === c.h && c.pixels === 600 && !c.large, JSON.stringify(c));
    assert.ok(c.bouton, 'the space bar button');
  }, { avant: telephone() });
  // Held sideways, the whole game is on screen.
  await Avec(async page => {
    const c = await Cadre(page);
    assert.ok(c.l >= 300 && c.l <= 390 && c.l === c.h && !c.large, JSON.stringify(c));
  }, { avant: telephone(844, 390) });
  await Avec(async page => {
    assert.deepStrictEqual(await Cadre(page), { l: 600, h: 600, pixels: 600, large: false, bouton: false });
  });
});

// The first tap of all: the page reads with no user activation (Lire) until then.
test('a first tap hits under the finger on a scrolled page, and its shot is heard', () => Avec(async page => {
  await Passes(page);
  await Lire(page, () => scrollTo(0, 60));
  assert.strictEqual(await Lire(page, () => scrollY), 60);
  // The target's box is 64 pixels from (128, 128): a tap just inside its corner hits,
  // and the score lines change rather than the game ending.
  const avant = await Pixels(page, 0, 0, 120, 100);
  await Passes(page, 1000);
  assert.deepStrictEqual(await Lire(page, () => [navigator.userActivation.hasBeenActive, SDL.audioContext.state]),
                         [false, 'suspended']);
  await Taper(page, 130, 130);
  await Passes(page);
  assert.ok(!(await Lire(page, () => Module.attend)), 'game over');
  assert.notDeepStrictEqual(await Pixels(page, 0, 0, 120, 100), avant);
  // The press comes at the touch's start, before the page may sound: its shot waits
  // for the sound to start at the touch's end, and is heard whole.
  await Attendre(page, () => SDL.audioContext.state === 'running' && sons.finis === 1, { timeout: 10000 });
  assert.deepStrictEqual(await Lire(page, () => [sons.joues, sons.coupes]), [1, 0]);
}, { avant: telephone(390, 480) }));

test('a tap beside the target ends the game, and a tap leaves it cleanly', () => Avec(async page => {
  await Passes(page);
  await Taper(page, 124, 124);   // just outside the target's box
  await Perdu(page);
  await Attendre(page, () => Module.attend, { timeout: 10000 });
  assert.strictEqual(await Sortie(page), '', 'the tap that lost does not also leave');
  await Taper(page, 300, 300);
  await Attendre(page, () => document.getElementById('sortie').textContent === 'Exited cleanly\n',
                 { timeout: 10000 });
  assert.ok(await Lire(page, () => document.getElementById('encore').style.display === 'block'));
}, { avant: telephone() }));

test('the space bar button turns on flash mode', () => Avec(async page => {
  await TaperSur(page, '#espace');
  await Passes(page);
  await Taper(page, 160, 160);
  await Passes(page, 0);   // no periodic repaint: the flash stays on screen
  assert.deepStrictEqual(await Pixels(page, 590, 300, 1, 1), [100, 100, 100, 255]);
  assert.strictEqual(await Lire(page, () => sons.joues), 0);
}, { avant: telephone() }));

// A copy of the built page on a server of its own: its worker and caches are its own.
async function Ailleurs(essai, avant = telephone()) {
  const dossier = fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-page-'));
  fs.cpSync(PAGE, dossier, { recursive: true });
  const ici = await Serveur(dossier);
  try {
    await Avec(page => essai(page, ici, dossier), { avant, ici });
  } finally {
    ici.close();
    fs.rmSync(dossier, { recursive: true });
  }
}

// Once its worker has this build's files: the cache's names, and what it holds.
const Pret = page => Lire(page, async () => {
  await navigator.serviceWorker.ready;
  const noms = await caches.keys();
  return { noms, fichiers: noms.length ? (await (await caches.open(noms[0])).keys()).map(r => r.url) : [] };
});

// Notes whether the game had started when the page registered its worker.
async function Inscription(page) {
  await telephone()(page);
  await page.evaluateOnNewDocument(() => {
    const register = ServiceWorkerContainer.prototype.register;
    ServiceWorkerContainer.prototype.register = function (...a) {
      window.inscrit = (window.inscrit || []).concat(SDL.lance === true);
      return register.apply(this, a);
    };
  });
}

test('the page installs, and starts again with no network', () => Ailleurs(async (page, ici) => {
  const manifeste = await Lire(page, async () => {
    const m = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
    for (const i of m.icons) {
      const img = new Image();
      img.src = i.src;
      await img.decode();
      i.vu = `${img.naturalWidth}x${img.naturalHeight}`;
    }
    return m;
  });
  assert.strictEqual(manifeste.display, 'standalone');
  assert.ok(manifeste.name && manifeste.short_name && manifeste.theme_color && manifeste.background_color);
  assert.deepStrictEqual(manifeste.icons.map(i => [i.sizes, i.vu]), [['192x192', '192x192'], ['512x512', '512x512']]);

  const { noms, fichiers } = await Pret(page);
  // Once, after the game's start: its work kept out of the start's.
  assert.deepStrictEqual(await Lire(page, () => window.inscrit), [true]);
  const cdp = await page.createCDPSession();
  assert.deepStrictEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, [],
                         'Chromium would install it');
  assert.strictEqual(noms.length, 1);
  for (const f of ['', 'index.html', 'licences.html', 'gavremo.js', 'gavremo.wasm', 'manifest.webmanifest'])
    assert.ok(fichiers.includes(ici.adresse + f), f || './');

  await new Promise(ok => ici.close(ok));
  await page.reload();
  await Attendre(page, () => Module.calledRun, { timeout: 60000 });
  assert.ok(await Lire(page, () => navigator.serviceWorker.controller !== null));
  await Passes(page);
  const cible = await Pixels(page, 139, 160, 1, 1);
  assert.ok(cible[2] > 200 && cible[0] < 60, `the target, drawn offline: ${cible}`);
  // The licences, reached from the game by the keyboard's Tab and followed with its
  // Enter, offline too.
  const lien = () => document.activeElement.matches('a[href="licences.html"]');
  for (let n = 0; n < 4 && !await Lire(page, lien); n++)
    await page.keyboard.press('Tab');
  assert.ok(await Lire(page, lien), 'Tab reaches the licences');
  await Promise.all([page.waitForNavigation(), page.keyboard.press('Enter')]);
  assert.deepStrictEqual(await Lire(page, () => [...document.querySelectorAll('section > h2')].map(h => h.textContent)).then(n => n.slice(0, 5)),
                         ['Gavremo', 'Blankenburg', 'FreeType', 'libjpeg-turbo', 'giflib']);
}, Inscription));

test('after a new build, the caches hold only that build', () => Ailleurs(async (page, ici, dossier) => {
  const avant = (await Pret(page)).noms;
  // A new build: the page's own files changed, then named again as the build does.
  const source = fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-source-'));
  fs.cpSync(path.join(projet, 'plateforme/web'), source, { recursive: true });
  fs.appendFileSync(path.join(source, 'index.html'), '<!-- another build -->\n');
  const r = spawnSync('cmake', [`-DSOURCE=${source}`, `-DPAGE=${dossier}`, '-P',
                                path.join(source, 'hors-ligne.cmake')], { encoding: 'utf8' });
  fs.rmSync(source, { recursive: true });
  assert.strictEqual(r.status, 0, r.stderr);
  const nom = fs.readFileSync(path.join(dossier, 'sw.js'), 'utf8').match(/const CACHE = '([^']+)'/)[1];
  assert.notDeepStrictEqual([nom], avant);

  await page.reload();
  await Attendre(page, async nom => JSON.stringify(await caches.keys()) === JSON.stringify([nom]),
                 { timeout: 30000 }, nom);
  await page.reload();
  // The whole document: the build's note comes after </html>.
  assert.match(await Lire(page, () => new XMLSerializer().serializeToString(document)), /another build/);
}));

// As scripts/web.sh --serve serves it: each file the worker keeps is sent once, by
// brotli, and the worker's own copies are answered 304, bodiless.
test('a first visit sends each file once and compressed', async () => {
  const { Servir } = require('./servir');
  const envois = {};
  const ici = await Servir(PAGE, 0, '127.0.0.1', {
    journal: (req, flux) => flux.res.on('finish', () => {
      const r = flux.res;
      (envois[req.url] ??= []).push(r.statusCode === 200 ? `200 ${r.getHeader('content-encoding')}` : r.statusCode);
    }) });
  const page = await ouvert.navigateur.newPage();
  try {
    await page.goto(ici.adresse);
    await Attendre(page, async () => {
      const noms = await caches.keys();
      return noms.length === 1 && (await (await caches.open(noms[0])).keys()).length === 8;
    }, { timeout: 60000 });
    assert.ok(await Lire(page, () => Module.calledRun));
  } finally {
    await page.close();
    ici.close();
  }
  for (const f of ['/', '/gavremo.js', '/gavremo.wasm', '/manifest.webmanifest'])
    assert.deepStrictEqual(envois[f], ['200 br', 304], f);
});
