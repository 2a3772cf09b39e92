// The figure: the sounding curve with the model's curve over it, the
// residuals below, and the model's step profile beside them, whose
// boundaries and resistivities the user drags. One ECharts chart drawn with
// the SVG renderer, so that the figure exports as one SVG or PNG.
import * as echarts from 'echarts/core';
import { LineChart, ScatterChart } from 'echarts/charts';
import { GridComponent, TitleComponent, TooltipComponent, LegendComponent, GraphicComponent } from 'echarts/components';
import { SVGRenderer, CanvasRenderer } from 'echarts/renderers';

echarts.use([LineChart, ScatterChart, GridComponent, TitleComponent, TooltipComponent,
  LegendComponent, GraphicComponent, SVGRenderer, CanvasRenderer]);

const SYMBOLS = ['circle', 'triangle', 'rect', 'diamond', 'pin', 'roundRect', 'arrow'];
const COLOURS = ['#1f6fb2', '#d95f02', '#1b9e77', '#7570b3', '#e7298a', '#66a61e', '#a6761d'];
const GRID_CURVE = 0, GRID_RESIDUAL = 1, GRID_PROFILE = 2;

// Axis ends at whole decades around the values, so that each decade is labelled.
const decadeFloor = (v) => Math.pow(10, Math.floor(Math.log10(v.min)));
const decadeCeil = (v) => Math.pow(10, Math.ceil(Math.log10(v.max)));

function logAxis(name, gridIndex, extra = {}) {
  return {
    type: 'log', logBase: 10, name, gridIndex, nameLocation: 'middle', nameGap: 26,
    min: decadeFloor, max: decadeCeil, minorTick: { show: true, splitNumber: 9 },
    splitLine: { show: true, lineStyle: { color: '#ddd' } },
    minorSplitLine: { show: true, lineStyle: { color: '#f2f2f2' } },
    axisLabel: { formatter: (v) => String(v) }, ...extra,
  };
}

// state: { unit, segments: [{label, points:[[ab2, rho], ...]}], curve: [[ab2, rho_a]],
//          residuals: [[ab2, percent]], residualNote, profile: [[rho, depth]], title }
export function figureOption(state) {
  const unit = state.unit || 'm';
  const series = state.segments.map((segment, k) => ({
    type: 'scatter', name: segment.label, xAxisIndex: GRID_CURVE, yAxisIndex: GRID_CURVE,
    data: segment.points, symbol: SYMBOLS[k % SYMBOLS.length], symbolSize: 8,
    itemStyle: { color: COLOURS[k % COLOURS.length] }, animation: false,
  }));
  if (state.curve.length) {
    series.push({ type: 'line', name: 'model', xAxisIndex: GRID_CURVE, yAxisIndex: GRID_CURVE,
      data: state.curve, showSymbol: false, lineStyle: { color: '#c00', width: 2 }, animation: false });
  }
  series.push({ type: 'scatter', name: 'residual', xAxisIndex: GRID_RESIDUAL, yAxisIndex: GRID_RESIDUAL,
    data: state.residuals, symbolSize: 6, itemStyle: { color: '#555' }, animation: false });
  series.push({ type: 'line', name: 'profile', xAxisIndex: GRID_PROFILE, yAxisIndex: GRID_PROFILE,
    data: state.profile, showSymbol: false, lineStyle: { color: '#c00', width: 2 }, animation: false });
  return {
    animation: false,
    backgroundColor: '#fff',
    title: [{ text: state.title || '', left: 8, top: 4, textStyle: { fontSize: 13, fontWeight: 'normal' } },
      { text: state.residualNote || '', left: 80, top: '80%', textStyle: { fontSize: 12, fontWeight: 'normal', color: '#777' } }],
    legend: { top: 24, left: 62, right: '40%', data: series.filter((s) => s.xAxisIndex === GRID_CURVE).map((s) => s.name) },
    tooltip: { trigger: 'item' },
    grid: [
      { left: 62, right: '40%', top: 56, height: '48%' },
      { left: 62, right: '40%', top: '72%', bottom: 40 },
      { left: '70%', right: 20, top: 56, bottom: 40 },
    ],
    xAxis: [
      logAxis(`AB/2 (${unit})`, GRID_CURVE),
      logAxis(`AB/2 (${unit})`, GRID_RESIDUAL),
      logAxis(`resistivity (ohm-${unit})`, GRID_PROFILE),
    ],
    yAxis: [
      logAxis(`apparent resistivity (ohm-${unit})`, GRID_CURVE, { nameGap: 44 }),
      { type: 'value', name: 'residual (%)', gridIndex: GRID_RESIDUAL, nameLocation: 'middle', nameGap: 44,
        splitLine: { lineStyle: { color: '#ddd' } } },
      logAxis(`depth (${unit})`, GRID_PROFILE, { inverse: true, nameGap: 44 }),
    ],
    series,
  };
}

export class Figure {
  constructor(element) {
    this.element = element;
    this.chart = echarts.init(element, null, { renderer: 'svg' });
    this.option = null;
    new ResizeObserver(() => { this.chart.resize(); this.placeHandles(); }).observe(element);
  }

  // handles: { boundaries: [{depth, rhoAbove, rhoBelow}], layers: [{rho, top, bottom}] },
  // onDrag(kind, index, value) with kind 'boundary' (a depth) or 'layer' (a resistivity).
  show(state, handles, onDrag) {
    this.option = figureOption(state);
    this.chart.setOption(this.option, { notMerge: true });
    this.handles = handles;
    this.onDrag = onDrag;
    this.placeHandles();
  }

  toPixel(x, y) {
    return this.chart.convertToPixel({ xAxisIndex: GRID_PROFILE, yAxisIndex: GRID_PROFILE }, [x, y]);
  }

  fromPixel(px, py) {
    return this.chart.convertFromPixel({ xAxisIndex: GRID_PROFILE, yAxisIndex: GRID_PROFILE }, [px, py]);
  }

  // Where each handle sits, in the chart's pixels: a bar across each boundary
  // between the two layers' resistivities, a dot in the middle of each layer.
  handlePixels() {
    if (!this.handles) return { boundaries: [], layers: [] };
    const boundaries = this.handles.boundaries.map((b) => {
      const [x1, y] = this.toPixel(b.rhoAbove, b.depth);
      const [x2] = this.toPixel(b.rhoBelow, b.depth);
      return { x: (x1 + x2) / 2, y, width: Math.max(Math.abs(x2 - x1), 24) };
    });
    const layers = this.handles.layers.map((l) => {
      const [x, y1] = this.toPixel(l.rho, l.top);
      const [, y2] = this.toPixel(l.rho, l.bottom);
      return { x, y: (y1 + y2) / 2 };
    });
    return { boundaries, layers };
  }

  placeHandles() {
    if (!this.option) return;
    const { boundaries, layers } = this.handlePixels();
    const drag = (kind, index, axis) => (event) => {
      const target = event.target;
      const [px, py] = [target.x, target.y];
      const [rho, depth] = this.fromPixel(px, py);
      this.onDrag(kind, index, axis === 'y' ? depth : rho);
    };
    const elements = [
      ...boundaries.map((b, k) => ({
        type: 'rect', id: `boundary-${k}`, x: b.x, y: b.y, z: 100, draggable: 'vertical', cursor: 'ns-resize',
        shape: { x: -b.width / 2, y: -4, width: b.width, height: 8 },
        style: { fill: 'rgba(31,111,178,0.35)', stroke: '#1f6fb2' },
        ondrag: drag('boundary', k, 'y'),
      })),
      ...layers.map((l, k) => ({
        type: 'circle', id: `layer-${k}`, x: l.x, y: l.y, z: 100, draggable: 'horizontal', cursor: 'ew-resize',
        shape: { cx: 0, cy: 0, r: 6 }, style: { fill: '#fff', stroke: '#c00', lineWidth: 2 },
        ondrag: drag('layer', k, 'x'),
      })),
    ];
    this.chart.setOption({ graphic: { elements } }, { replaceMerge: ['graphic'] });
  }

  // The figure as SVG text, without the drag handles.
  svg() {
    this.chart.setOption({ graphic: { elements: [] } }, { replaceMerge: ['graphic'] });
    try {
      return this.chart.renderToSVGString();
    } finally {
      this.placeHandles();
    }
  }

  // A PNG drawn by a canvas chart of the same option, without the handles.
  png() {
    const box = document.createElement('div');
    box.style.cssText = `position:fixed;left:-10000px;top:0;width:${this.element.clientWidth}px;height:${this.element.clientHeight}px`;
    document.body.appendChild(box);
    try {
      const canvasChart = echarts.init(box, null, { renderer: 'canvas' });
      canvasChart.setOption(this.option);
      const url = canvasChart.getDataURL({ type: 'png', pixelRatio: 2, backgroundColor: '#fff' });
      canvasChart.dispose();
      return url;
    } finally {
      box.remove();
    }
  }
}
