// How long a press takes to show on the canvas: the game's page and a bare page that
// paints its canvas in its own mousedown handler (nu.html), each in its own Chromium
// window on the X display, pressed in turn through XTEST by the tir program, which
// watches a pixel of the screen. The game's two presses: a hit in flash mode (the
// scene repainted over grey) and a miss at score 0 (the game-over picture), PRESSES of
// each. Run by scripts/mesurer.sh appui, which starts the display and builds tir.
// node appui.js PRESSES TIR
const { projet, PAGE, Mediane, attendre, Serveur } = require('./outils');
const { LARGEUR, Tireur, Fenetre, Cible, Ecran } = require('./son');

const [appuis, programme] = [+process.argv[2] || 10, process.argv[3]];
const RATE = [300, 60];      // no target ever reaches y < 128: a sure miss, and black until a flash
const PERDU = [110, 300];    // black until the game-over picture

async function main() {
  const { Tirer, arreter } = await Tireur(programme);
  const [site, page] = [await Serveur(projet), await Serveur(PAGE)];
  const pret = () => window.Module?.calledRun && Module._Passes() > 0;
  const nu = await Fenetre(LARGEUR + 20, site.adresse + 'tests/web/nu.html', () => window.tir);
  const jeu = await Fenetre(0, page.adresse, pret);
  for (const f of [jeu, nu]) {
    await Tirer([f.x + LARGEUR / 2, 700], 0);
    await f.page.waitForFunction(() => window.decalage);
  }
  const mesures = { flash: [], perdu: [], nu: [] };
  // The bare page's press, after each of the game's.
  const Nu = async () => {
    const ms = await Tirer(await Ecran(nu, 300, 200), 2, await Ecran(nu, 300, 300));
    if (ms !== null)
      mesures.nu.push(ms);
  };

  // Flash mode: the space bar released once.
  await jeu.page.keyboard.press('Space');
  for (let i = 0; i <= appuis; i++) {
    let cible;
    while (!(cible = await Cible(jeu.page)))
      await attendre(100);
    const ms = await Tirer(await Ecran(jeu, ...cible), 2, await Ecran(jeu, ...RATE));
    // The first press of each page is not counted.
    if (i > 0 && ms !== null)
      mesures.flash.push(ms);
    await Nu();
    if (i === 0)
      mesures.nu.length = 0;
    await attendre(300);
  }

  // A new game for each miss, at score 0, pressed once its start has settled (its
  // worker installed, its sound decoded), as the bare page is pressed at rest; the
  // canvas stays where it was.
  const [rate, perdu] = [await Ecran(jeu, ...RATE), await Ecran(jeu, ...PERDU)];
  for (let i = 0; i < appuis; i++) {
    await jeu.page.reload();
    await jeu.page.waitForFunction(pret, { timeout: 60000 });
    await attendre(1000);
    const ms = await Tirer(rate, 2, perdu);
    if (ms !== null)
      mesures.perdu.push(ms);
    await Nu();
  }

  for (const f of [jeu, nu])
    await f.navigateur.close();
  arreter();
  site.close();
  page.close();

  // A figure falls on one frame or the next, 16.7 ms apart: the mean moves less from
  // run to run than the median, which jumps when the two groups are close in size.
  const moyenne = v => v.reduce((a, b) => a + b, 0) / v.length;
  const [nue, nueM] = [Mediane(mesures.nu), moyenne(mesures.nu)];
  const ligne = (nom, v) => console.log(
    `${nom}: median ${Mediane(v).toFixed(1)} ms, mean ${moyenne(v).toFixed(1)} ms over ${v.length} presses ` +
    `(${Math.min(...v).toFixed(1)}–${Math.max(...v).toFixed(1)})` +
    (v === mesures.nu ? '' : `; ${(Mediane(v) / nue).toFixed(2)} x the bare page's median, ${(moyenne(v) / nueM).toFixed(2)} x its mean`));
  ligne('game, a hit in flash mode', mesures.flash);
  ligne('game, a miss at score 0', mesures.perdu);
  ligne('bare page', mesures.nu);
}

main().catch(e => { console.error(e); process.exit(1); });
