// The game's page in Debian's Chromium, Firefox ESR or WebKitGTK (GAVREMO_NAVIGATEUR=
// firefox or webkit), driven as a player would: pointer and keys go through the
// DevTools protocol or WebDriver as real input events. The page's clock is the
// test's: Date.now stands still until the test moves it, so the game's repaints,
// target timer and random places follow the test rather than the machine's speed.
const { test, before, after } = require('node:test');
const assert = require('node:assert');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { projet, Lire, Attendre, Ouvrir, Fermer, Avec, Passes, Souris, Pixels, Encre, Perdu, Sortie } = require('./outils');

const CIBLE = { x: 160, y: 160 };   // the middle of the first target, before its timer moves it

before(() => Ouvrir());
after(Fermer);

// What the desktop game draws (tests/bureau.txt): each picture's size and pixel hash,
// and each line's ink as rows of '#' and '.'.
function Bureau() {
  const texte = fs.readFileSync(path.join(projet, 'tests/bureau.txt'), 'utf8').split('\n');
  const images = {}, lignes = {};
  for (let i = 0; i < texte.length && texte[i]; ) {
    const m = texte[i].match(/^(rsrc_img\/\S+) (\d+) (\d+) ([0-9a-f]{8})$/);
    if (m) {
      images[m[1]] = { w: +m[2], h: +m[3], empreinte: m[4] };
      i++;
      continue;
    }
    const [w, h] = texte[i + 1].split(' ').map(Number);
    lignes[texte[i]] = { w, h, rangs: texte.slice(i + 2, i + 2 + h) };
    i += 2 + h;
  }
  return { images, lignes };
}

// The canvas's rows [y, y + h) over the first w columns, '#' where the game's red is.
async function Rouge(page, y, w, h) {
  const p = await Pixels(page, 0, y, w, h);
  const rangs = [];
  for (let l = 0; l < h; l++) {
    let r = '';
    for (let x = 0; x < w; x++) {
      const i = (l * w + x) * 4;
      r += p[i] === 255 && p[i + 1] === 0 && p[i + 2] === 0 ? '#' : '.';
    }
    rangs.push(r);
  }
  return rangs;
}

test('the scene, its text and sprite, a hit and its sound', () => Avec(async page => {
  await Passes(page);
  // The loading line is gone once the game plays.
  assert.deepStrictEqual(await Lire(page, () => [document.title, document.getElementById('canvas').style.cursor,
                                                 document.getElementById('etat').textContent]),
                         ['Gavremo /by Merulek', 'none', '']);
  // The first target's blue ring, and the ground along the bottom.
  const cible = await Pixels(page, 139, 160, 1, 1);
  assert.ok(cible[2] > 200 && cible[0] < 60, `target ring: ${cible}`);
  const sol = await Pixels(page, 300, 590, 1, 1);
  assert.ok(sol[0] + sol[1] + sol[2] > 60, `ground: ${sol}`);

  // The best-score line and the score line under it as the desktop SDL_ttf draws them,
  // pixel for pixel, and the banner at the bottom.
  const lignes = Bureau().lignes;
  const h = lignes['Points Max : 1'].h;
  for (const [texte, y] of [['Points Max : 1', 0], ['0 points', h], ['Dunvexa !', 600 - h]])
    assert.deepStrictEqual(await Rouge(page, y, lignes[texte].w, h), lignes[texte].rangs, texte);
  const [, w1] = await Encre(page, 0, h);

  // Over the ground, the sprite's transparent pixels leave the ground as it was.
  const avant = await Pixels(page, 100, 560, 32, 32);
  await Souris(page, 116, 576);
  await Passes(page);
  const apres = await Pixels(page, 100, 560, 32, 32);
  // Every pixel the sprite changed is of its crosshair: none of its see-through ones.
  let vert = 0, autres = 0;
  for (let i = 0; i < apres.length; i += 4) {
    const change = apres[i] !== avant[i] || apres[i + 1] !== avant[i + 1] || apres[i + 2] !== avant[i + 2];
    if (apres[i + 1] > 200 && apres[i] < 100) vert++;
    else if (change) autres++;
  }
  assert.ok(vert > 40 && autres === 0, `crosshair pixels ${vert}, others changed ${autres}`);

  // A hit late in the target's life scores a lot: both lines grow.
  const [, scoreAvant] = await Encre(page, h, h);
  await Passes(page, 2800);   // 2,920 ms in all: the first target lasts 3,000
  // Read with no user activation: nothing has let the page sound yet.
  assert.deepStrictEqual(await Lire(page, () => [navigator.userActivation.hasBeenActive, SDL.audioContext.state]),
                         [false, 'suspended']);
  await Souris(page, CIBLE.x, CIBLE.y, true);
  await Passes(page);
  const [, scoreApres] = await Encre(page, h, h);
  assert.ok(scoreApres > scoreAvant + 10, `score line ${scoreAvant} then ${scoreApres}`);
  assert.ok((await Encre(page, 0, h))[1] > w1 + 10, 'best-score line');

  // The first click lets the page sound, and its shot is heard to its end; it still
  // holds the one channel when the next comes, and the next cuts it.
  await Attendre(page, () => sons.joues === 1 && SDL.audioContext.state === 'running' && sons.finis === 1,
                 { timeout: 10000 });
  await Souris(page, 400, 400, true);
  await Passes(page);
  await Attendre(page, () => sons.joues === 2, { timeout: 10000 });
  assert.strictEqual(await Lire(page, () => sons.coupes), 1);
  assert.strictEqual(await Sortie(page), '', 'nothing printed in play');
}));

// A canvas drawn on at every pass has the browser show a press a frame late.
test('a pointer at rest leaves the canvas alone until a repaint, which still shows the sprite', () => Avec(async page => {
  await Souris(page, 450, 450);
  await Passes(page);
  const vert = async () => (await Pixels(page, 434, 434, 32, 32)).filter((v, i) => i % 4 === 1 && v > 200).length;
  const sprite = await vert();
  assert.ok(sprite > 40, `crosshair pixels ${sprite}`);
  // Every drawing call on the canvas, counted, through passes with the clock still.
  const n = await Lire(page, () => {
    const c = document.getElementById('canvas').getContext('2d');
    window.dessins = 0;
    for (const m of ['drawImage', 'fillRect', 'putImageData']) {
      const f = c[m];
      c[m] = function (...a) { dessins++; return f.apply(this, a); };
    }
    return Module._Passes();
  });
  await Attendre(page, n => Module._Passes() > n + 20, { timeout: 30000 }, n);
  assert.strictEqual(await Lire(page, () => dessins), 0, 'drawing calls at rest');

  // The repaint covers the sprite, and the next pass draws it again where it was.
  await Passes(page);
  assert.ok(await Lire(page, () => dessins) > 0, 'no repaint');
  assert.strictEqual(await vert(), sprite);
}));

test('every line of the game has the ink of the desktop game', () => Avec(async page => {
  const lignes = Bureau().lignes;
  for (const texte of Object.keys(lignes)) {
    const rangs = await Lire(page, texte => {
      const p = Module._EncreDeLigne(Chaine(texte));
      const o = Module.HEAPU8, mot = i => o[p + i] | o[p + i + 1] << 8 | o[p + i + 2] << 16 | o[p + i + 3] << 24;
      const w = mot(0), h = mot(4), rangs = [];
      for (let y = 0; y < h; y++)
        rangs.push(Array.from(o.subarray(p + 8 + y * w, p + 8 + (y + 1) * w), v => v ? '#' : '.').join(''));
      return rangs;
    }, texte);
    assert.deepStrictEqual(rangs, lignes[texte].rangs, texte);
  }
}));

test('each kept file is refused or drawn as on the desktop', () => Avec(async page => {
  const corpus = path.join(projet, 'tests/fuzz/corpus');
  const attendus = fs.readFileSync(path.join(corpus, 'attendus.txt'), 'utf8').split('\n')
    .filter(l => l && !l.startsWith('#')).map(l => l.split(' '));
  assert.ok(attendus.length >= 5);
  for (const [verdict, fichier] of attendus) {
    const pris = await Lire(page, (fichier, octets) => {
      Module.FS.writeFile('/essai', new Uint8Array(octets));
      return fichier.endsWith('.ttf') ? Module._PoliceLisible(Chaine('/essai')) : Module._ImageLisible(Chaine('/essai'));
    }, fichier, [...fs.readFileSync(path.join(corpus, fichier))]);
    assert.strictEqual(pris, verdict === 'drawn' ? 1 : 0, fichier);
  }
}));

test('a key before any click turns on flash mode: a shot flashes grey, silently', () => Avec(async page => {
  // A key the page sends before the game's SDL_Init reaches no one, as on the desktop.
  await Attendre(page, () => Module._Passes() > 0);
  await page.keyboard.press(' ');   // puppeteer's WebDriver BiDi keys know no 'Space'
  await Passes(page);
  await Souris(page, CIBLE.x, CIBLE.y, true);
  await Passes(page, 0);   // no periodic repaint: the flash stays on screen
  assert.deepStrictEqual(await Pixels(page, 590, 300, 1, 1), [100, 100, 100, 255]);
  assert.strictEqual(await Lire(page, () => sons.joues), 0);
}));

test('a miss at score 0 ends the game, and a key leaves it cleanly', () => Avec(async page => {
  await Passes(page);
  await Souris(page, 500, 450, true);
  // The game-over picture, dark red, in the middle of a black screen; the game
  // then waits for a key and flips no more.
  await Perdu(page);
  assert.deepStrictEqual(await Pixels(page, 300, 590, 1, 1), [0, 0, 0, 255]);
  assert.ok(!(await Sortie(page)).includes('Exited cleanly'));
  await page.keyboard.press('KeyA');
  await Attendre(page, () => document.getElementById('sortie').textContent.includes('Exited cleanly'),
                 { timeout: 10000 });
  // The game's own lines only: nothing of the browser's runtime in between.
  assert.strictEqual(await Sortie(page), 'Exited cleanly\n');
  assert.ok(await Lire(page, () => document.getElementById('encore').style.display === 'block'));
}));

// The page decodes the pictures the game has yet to read while it is idle, and the
// game takes one only for the bytes it came from.
test('the game-over picture is read as the file is when the game ends', () => Avec(async page => {
  await Passes(page);
  await Lire(page, () => {
    Module._Prevoir();
    Module.FS.writeFile('rsrc_img/perdu.jpg', Module.FS.readFile('rsrc_img/target.jpg'));
  });
  await Souris(page, 500, 450, true);
  await Attendre(page, () => Module.attend, { timeout: 10000 });
  // The target's blue ring in the middle, and none of the old picture's red.
  const p = await Pixels(page, 268, 268, 64, 64);
  const bleus = p.filter((v, i) => i % 4 === 2 && v > 200 && p[i - 2] < 60).length;
  assert.ok(bleus > 50, `blue pixels ${bleus}`);
  assert.deepStrictEqual(await Pixels(page, 110, 300, 1, 1), [0, 0, 0, 255]);
}));

// The page left for another and brought back by the back button comes from the
// back/forward cache, which a page with an `unload` listener never enters, and plays on.
test('the page comes back from the back forward cache still playing', () => Avec(async page => {
  await Passes(page);
  // A worker that takes the page over while it is away (at the end of a first visit's
  // install, late on a loaded machine) has Chromium drop it, and going back starts a
  // new game: the page is left only once its worker holds it.
  await Attendre(page, () => !!navigator.serviceWorker.controller);
  await Lire(page, () => { window.revenu = null; addEventListener('pageshow', e => { window.revenu = e.persisted; }); });
  // Chromium says why, when it does not keep the page.
  const cdp = await page.createCDPSession();
  let pourquoi = [];
  cdp.on('Page.backForwardCacheNotUsed', e => { pourquoi = e.notRestoredExplanations.map(x => x.reason); });
  await cdp.send('Page.enable');
  await page.goto(new URL('manifest.webmanifest', page.url()).href);
  await page.goBack();
  assert.strictEqual(await Attendre(page, () => window.revenu !== null && String(window.revenu)),
                     'true', `restored from the back/forward cache (not: ${pourquoi.join(', ')})`);
  await Passes(page);
  const [x, y] = [CIBLE.x, CIBLE.y];
  const avant = await Pixels(page, 0, 0, 120, 60);
  await Souris(page, x, y, true);
  await Passes(page);
  assert.notDeepStrictEqual(await Pixels(page, 0, 0, 120, 60), avant, 'the hit scored');
}));

// Before its first screen, the game lets the browser run at SDL's set-up and at each
// picture and line it makes, so its start is not one long task: counted as the page's
// timers that run between the runtime's start and the first flip (none, unbroken).
// The list of audio outputs, which has the browser set its sound up early, is asked for
// once, after the script's evaluation rather than in it, and before the game's sound.
test('the game starts in short steps, the browser running between them', () => Avec(async page => {
  await Attendre(page, () => Module._Passes() > 0);
  // SDL's set-up, then each picture's decoding and its surface, the first line's
  // drawing and its surface: ten at least.
  const pas = await Lire(page, () => window.pas);
  assert.ok(pas >= 10, `${pas} steps`);
  assert.deepStrictEqual(await Lire(page, () => window.sorties), [{ dansLeScript: false, son: false }]);
}, { avant: page => page.evaluateOnNewDocument(() => {
  window.sorties = [];
  const enumerer = MediaDevices.prototype.enumerateDevices;
  MediaDevices.prototype.enumerateDevices = function () {
    sorties.push({ dansLeScript: document.currentScript !== null, son: !!window.SDL?.audioContext });
    return enumerer.apply(this, arguments);
  };
  window.pas = 0;
  const minuteur = window.setTimeout;
  window.setTimeout = function (f, ...a) {
    return minuteur.call(window, function () {
      if (Module.calledRun && Module._Passes() === 0)
        window.pas++;
      return f.apply(this, arguments);
    }, ...a);
  };
}) }));

// Builds a copy of the project after Changer(copie) has spoilt it; the web.sh run.
function Copie(changer) {
  const copie = fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-web-'));
  // The changelog dates a build made outside git (publication/durcissement.cmake); the
  // licences page quotes the game's licence.
  for (const d of ['CMakeLists.txt', 'CMakePresets.json', 'scripts', 'src', 'plateforme', 'publication', 'tests/web',
                   'rsrc_img', 'font', 'son', 'paquet/changelog', 'LICENSE'])
    fs.cpSync(path.join(projet, d), path.join(copie, d),
              { recursive: true, filter: f => !f.includes('node_modules') });
  changer(copie);
  return { copie, r: spawnSync('bash', [path.join(copie, 'scripts/web.sh')], { encoding: 'utf8' }) };
}

test('a missing asset stops the build with the file named', () => {
  const { copie, r } = Copie(c => fs.rmSync(path.join(c, 'rsrc_img/curseur.gif')));
  const construit = fs.existsSync(path.join(copie, 'build-web/page'));
  fs.rmSync(copie, { recursive: true });
  assert.strictEqual(r.status, 1);
  assert.match(r.stderr, /rsrc_img\/curseur\.gif is missing/);
  assert.ok(!construit);
});

test('a missing notice stops the build, naming the file and whose notice it is', () => {
  const { copie, r } = Copie(c => fs.rmSync(path.join(c, 'font/LICENSE-Blankenburg.txt')));
  const construit = fs.existsSync(path.join(copie, 'build-web/page'));
  fs.rmSync(copie, { recursive: true });
  assert.strictEqual(r.status, 1);
  assert.match(r.stderr, /font\/LICENSE-Blankenburg\.txt is missing: it is the\s+notice of Blankenburg/);
  assert.ok(!construit);
});

// Builds a spoilt copy, opens its page, and returns what the page printed once the
// game stopped, and how many passes it made.
async function Refus(changer) {
  const { copie, r } = Copie(changer);
  try {
    assert.strictEqual(r.status, 0, r.stderr);
    let sortie, passes;
    await Avec(async page => {
      await Attendre(page, () => document.getElementById('sortie').textContent.includes('status 1'),
                     { timeout: 30000 });
      sortie = await Sortie(page);
      passes = await Lire(page, () => Module._Passes());
    }, { dossier: path.join(copie, 'build-web/page') });
    return { sortie, passes };
  } finally {
    fs.rmSync(copie, { recursive: true });
  }
}

test('a cut-off target picture is refused, and the page shows why', async () => {
  const { sortie } = await Refus(c => {
    const f = path.join(c, 'rsrc_img/target.jpg');
    fs.truncateSync(f, fs.statSync(f).size - 100);
  });
  assert.match(sortie, /Incapable de charger rsrc_img\/target\.jpg: fichier tronque/);
});

test('a damaged cursor picture is refused, and the page says why', async () => {
  const { sortie, passes } = await Refus(c => fs.copyFileSync(
    path.join(projet, 'tests/fuzz/corpus/gif/plantait-image-plus-large-que-l-ecran.gif'),
    path.join(c, 'rsrc_img/curseur.gif')));
  assert.strictEqual(sortie,
                     'Incapable de charger rsrc_img/curseur.gif: GIF frame outside its screen\n(ended with status 1)\n');
  assert.strictEqual(passes, 0, 'no game started');
});
